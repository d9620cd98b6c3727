"""The AI run under Wine: the real Ai.bat and OrvaneX model from the main menu's AI
tile, from the editor's own button and from AI续写 (its button and Ctrl+J); a stand-in
Ai.bat that writes nothing; an older result left in place. The editor's text is read back through its Save button, as a
person would keep it; the status line is compared on screen with its design value
"就绪" as a freshly opened editor paints it."""

import os
import shutil
import tempfile
import time
import unittest

import layouts
from harness import BUILD, ProgramFolder, click, run, screenshot, wait_for, wait_no_window, wait_window, windows

MENU = "Orvane"
EDITOR = "Orvane编辑器"
PROGRAM_NAME = "奥文Orvane"  # titles message boxes without a title of their own
SAVE_DIALOG = "保存"
QUESTION = "确认"

AI_TILE, EDITOR_TILE = layouts.MENU["ImageAi"], layouts.MENU["ImageEDITOR"]  # pixels of the menu
AI_BUTTON, SAVE_BUTTON, CLOSE = layouts.EDITOR["ImageAi"], layouts.EDITOR["ImageSAVE"], layouts.EDITOR["ImageUN"]
CONTINUE_BUTTON, NEW_BUTTON = layouts.EDITOR["ImageAIXX"], layouts.EDITOR["ImageNEW"]
TEXT, STATUS = layouts.EDITOR_BOXES["txtCode"], layouts.EDITOR_BOXES["LabelZT"]  # pixels of the editor

DEFAULT_SCORE = "Orvane测试版本\r\n远帆青石制作\r\n"
SILENT_MODEL = "@echo off\r\nrem writes nothing\r\n"


def pixels(window, box):
    """A signature of the pixels of a rectangle of the window as it shows on screen."""
    x, y, w, h = box
    return run("import", "-window", "root", "-crop", f"{w}x{h}+{window.x + x}+{window.y + y}",
               "-format", "%#", "info:").strip()


class AiRun(unittest.TestCase):
    def prepare(self, flag="0\r\n", **files):
        """A program folder of the test, with these files beside the programs."""
        state = {"bft.une": "1\r\n", "themecolors.une": "0\r\n", "AiMade.une": flag}
        self.folder = ProgramFolder(state=state)
        self.addCleanup(self.folder.close)
        for name, content in files.items():
            self.folder.write(name, content)
        self.saves = tempfile.mkdtemp(prefix="orvane_ai_")  # ASCII: typed into the dialog
        self.addCleanup(shutil.rmtree, self.saves, True)

    def open_menu(self, flag="0\r\n", **files):
        if not hasattr(self, "folder"):
            self.prepare(flag, **files)
        self.program = self.folder.start()
        return wait_window(MENU)

    def open_editor(self, menu, tile, timeout=15):
        click(menu, *layouts.middle(tile))
        return wait_window(EDITOR, timeout)

    def saved_text(self, editor):
        """The editor's text, saved through its Save button (which adds one CR LF)."""
        path = os.path.join(self.saves, f"saved{len(os.listdir(self.saves))}.sop")
        click(editor, *layouts.middle(SAVE_BUTTON))
        wait_window(SAVE_DIALOG, 10)
        run("xdotool", "type", "--delay", "20", "Z:" + path.replace("/", "\\"))
        run("xdotool", "key", "Return")
        self.assertTrue(wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, 10), "saved")
        time.sleep(0.2)
        with open(path, "rb") as f:
            return f.read().decode("gbk")

    def ready_status(self, editor):
        """The status line of a freshly opened editor: its design value 就绪."""
        return pixels(editor, STATUS)

    def dismiss_message(self, timeout=15):
        """Clicks OK of the message that no new score came."""
        box = wait_window(PROGRAM_NAME, timeout)
        click(box, box.width // 2, box.height - 24)
        self.assertTrue(wait_no_window(PROGRAM_NAME, 5))

    def result(self):
        data = self.folder.read("output\\output.sop")
        self.assertIsNotNone(data, "OrvaneX wrote output\\output.sop")
        return data.decode("gbk")


class FromTheMenu(AiRun):
    def test_the_ai_tile_opens_the_editor_with_the_models_new_score(self):
        menu = self.open_menu()
        editor = self.open_editor(menu, AI_TILE, timeout=20)
        self.assertTrue(wait_no_window(MENU, 5), "the menu closes once the editor shows")
        self.assertEqual(self.folder.read("AiMade.une"), b"0\r\n")
        self.assertEqual(self.folder.read("title.une"), "Ai思考中\r\n".encode("gbk"))
        self.assertEqual(self.folder.read("text.une"), "请等待大约3秒\r\n".encode("gbk"))
        self.assertIn("notice.exe", [exe for exe, _, _ in self.folder.started()])

        score = self.result()
        self.assertTrue(score.startswith("OrvaneX模型作品《"), score)
        after_run = pixels(editor, STATUS)  # before the save, whose status says what it saved
        self.assertEqual(self.saved_text(editor), score + "\r\n")

        # Back to the menu and in through the editor tile: no run, the design status.
        click(editor, *layouts.middle(CLOSE))
        menu = wait_window(MENU)
        editor = self.open_editor(menu, EDITOR_TILE)
        self.assertEqual(after_run, self.ready_status(editor), "the status read 就绪 after the run")
        self.assertEqual(self.saved_text(editor), DEFAULT_SCORE + "\r\n")

    def test_an_older_result_is_not_loaded_as_new(self):
        older = "上一次的乐谱 1 2 3\r\n".encode("gbk")
        self.prepare(**{"Ai.bat": SILENT_MODEL})
        os.makedirs(self.folder.file("output"))
        self.folder.write("output\\output.sop", older)
        an_hour_ago = time.time() - 3600
        os.utime(self.folder.file("output\\output.sop"), (an_hour_ago, an_hour_ago))
        menu = self.open_menu()

        click(menu, *layouts.middle(AI_TILE))
        self.dismiss_message()
        editor = wait_window(EDITOR)
        self.assertEqual(self.saved_text(editor), DEFAULT_SCORE + "\r\n")
        self.assertEqual(self.folder.read("AiMade.une"), b"0\r\n", "the request is cleared all the same")
        self.assertEqual(self.folder.read("output\\output.sop"), older, "the program never writes the result")


class FromTheEditor(AiRun):
    def test_the_button_replaces_the_text_without_a_question_and_leaves_the_flag(self):
        menu = self.open_menu(flag="2\r\n")
        editor = self.open_editor(menu, EDITOR_TILE)
        ready = self.ready_status(editor)

        click(editor, *layouts.middle(AI_BUTTON))
        self.assertTrue(wait_for(lambda: pixels(editor, STATUS) != ready, 3), "Ai思考中 is painted while it waits")
        self.assertTrue(wait_for(lambda: pixels(editor, STATUS) == ready, 10), "就绪 again after the run")
        self.assertEqual(windows(QUESTION), [], "no question")
        self.assertEqual(windows(PROGRAM_NAME), [], "no message")
        self.assertEqual(self.saved_text(editor), self.result() + "\r\n")
        self.assertEqual(self.folder.read("AiMade.une"), b"2\r\n")

    def test_a_model_that_writes_nothing_leaves_the_text_and_says_so(self):
        menu = self.open_menu(**{"Ai.bat": SILENT_MODEL})
        editor = self.open_editor(menu, EDITOR_TILE)
        ready = self.ready_status(editor)

        click(editor, *layouts.middle(AI_BUTTON))
        self.dismiss_message()
        self.assertEqual(pixels(editor, STATUS), ready)
        self.assertEqual(self.saved_text(editor), DEFAULT_SCORE + "\r\n")
        self.assertIsNone(self.folder.read("output\\output.sop"))
        self.assertEqual(self.folder.read("AiMade.une"), b"0\r\n")

    def test_continuing_puts_the_models_notes_at_the_caret_under_the_designed_notice(self):
        menu = self.open_menu()
        editor = self.open_editor(menu, EDITOR_TILE)
        ready = self.ready_status(editor)
        click(editor, *layouts.middle(NEW_BUTTON))
        wait_window(QUESTION, 10)
        run("xdotool", "key", "Return")
        self.assertTrue(wait_no_window(QUESTION, 5))
        click(editor, *layouts.middle(TEXT))
        run("xdotool", "type", "--delay", "30", "1155 6650 4433 2210")
        run("xdotool", "key", "Return")
        run("xdotool", "type", "--delay", "30", "5544 33")
        run("xdotool", "key", "Return")
        run("xdotool", "type", "--delay", "30", "end")
        run("xdotool", "key", "Left", "Left", "Left", "Left")  # the caret after 33
        context = "1155 6650 4433 2210\r\n5544 33"
        notices = len([exe for exe, _, _ in self.folder.started() if exe == "notice.exe"])

        run("xdotool", "key", "ctrl+j")
        self.assertTrue(wait_for(lambda: pixels(editor, STATUS) != ready, 3), "Ai思考中 is painted while it waits")
        self.assertTrue(wait_for(lambda: pixels(editor, STATUS) == ready, 15), "就绪 again after the run")
        self.assertEqual(self.folder.read("output\\context.sop"), context.encode("gbk"))
        self.assertEqual(self.folder.read("title.une"), "Ai思考中\r\n".encode("gbk"))
        self.assertEqual(self.folder.read("text.une"), "请等待大约3秒\r\n".encode("gbk"))
        self.assertEqual(len([exe for exe, _, _ in self.folder.started() if exe == "notice.exe"]), notices + 1)
        first = self.result()
        self.assertRegex(first, r"^[1-7]0 [0-7]{4} [0-7]{4}\r\n")  # completes the bar and the line as typed
        self.assertTrue(first.endswith("\r\n"))
        continued = context + first[:-2] + "\r\nend"
        self.assertEqual(self.saved_text(editor), continued + "\r\n", "put in at the caret, no line feed typed")

        # The button at the end of the score: a continuation of all of it.
        run("xdotool", "key", "ctrl+End")
        click(editor, *layouts.middle(CONTINUE_BUTTON))
        self.assertTrue(wait_for(lambda: pixels(editor, STATUS) != ready, 3))
        self.assertTrue(wait_for(lambda: pixels(editor, STATUS) == ready, 15))
        self.assertEqual(self.folder.read("output\\context.sop"), continued.encode("gbk"))
        second = self.result()
        os.makedirs(os.path.join(BUILD, "screens"), exist_ok=True)
        screenshot(os.path.join(BUILD, "screens", "editor_continued.png"), editor)
        self.assertTrue(second.startswith("\r\n"), "a new line below the remark 'end'")
        self.assertEqual(self.saved_text(editor), continued + second + "\r\n")
        self.assertEqual(windows(PROGRAM_NAME), [], "no message")


if __name__ == "__main__":
    unittest.main()
