"""The score editor under Wine: a score typed in, rendered through the shipped
outputWAV.bat (under Wine by the joiner wavjoin.exe) and no console window, the joining
script checked byte for byte, the WAV file checked frame by frame, the success notice only
after the file is there; a missing outputWAV.bat named in a message; the question before
closing with changes, and Alt+F4 back to the menu; screenshots of both themes."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import wave

import layouts
from harness import BUILD, ProgramFolder, click, run, screenshot, wait_for, wait_window, windows

EDITOR = "Orvane编辑器"
MENU = "Orvane"
MESSAGE = "奥文Orvane"  # message boxes without a title of their own
SAVE_DIALOG = "保存"
CLOSE, NEW, OPEN, WAV = (layouts.middle(layouts.EDITOR[name]) for name in ("ImageUN", "ImageNEW", "ImageOPEN",
                                                                             "ImageWAV"))
TEXT = layouts.middle(layouts.EDITOR_BOXES["txtCode"])

TEMPLATE = "".join(line + "\r\n" for line in [
    "import wave", "import os", "from datetime import datetime", "",
    "output_dir = r'C:\\Orvane\\OutputWAV'", "",
    "if not os.path.exists(output_dir):", "    os.makedirs(output_dir)", "",
    "files = ['0.wav', '1.wav', '2.wav', '3.wav', '4.wav', '5.wav', '6.wav', '7.wav']", "",
    "n_channels = 1", "sampwidth = 2", "framerate = 44100", "",
    "data_list = []", "for file in [FFFFFFFFFFF]:", "    with wave.open(file, 'rb') as w:",
    "        if w.getnchannels() == n_channels and w.getsampwidth() == sampwidth and w.getframerate()==framerate:",
    "         data_list.append(w.readframes(w.getnframes()))",
    "current_time = datetime.now().strftime('%Y%m%d_%H%M%S')",
    "output_filename = os.path.join(output_dir, f'WAV_{current_time}.wav')", "",
    "with wave.open(output_filename, 'wb') as output_file:",
    "    output_file.setnchannels(n_channels)", "    output_file.setsampwidth(sampwidth)",
    "    output_file.setframerate(framerate)", "    for data in data_list:", "        output_file.writeframes(data)"])

OUTPUT = os.path.join(os.environ.get("WINEPREFIX", os.path.join(BUILD, "wineprefix")), "drive_c", "Orvane", "OutputWAV")

EDITOR_TILE_MIDDLE = layouts.middle(layouts.MENU["ImageEDITOR"])  # pixels of the menu


def frames(path):
    with wave.open(path, "rb") as w:
        return (w.getnchannels(), w.getsampwidth(), w.getframerate()), w.readframes(w.getnframes())


def write_wav(path, channels, width, rate, data):
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(width)
        w.setframerate(rate)
        w.writeframes(data)


def outputs():
    return set(os.listdir(OUTPUT)) if os.path.isdir(OUTPUT) else set()


def editor_from_menu(timeout=20):
    """The main menu's editor tile clicked, as a person gets to the editor."""
    click(wait_window(MENU, timeout), *EDITOR_TILE_MIDDLE)
    return wait_window(EDITOR)


def open_editor(folder):
    folder.start()
    return editor_from_menu()


def key(*keys):
    run("xdotool", "key", *keys)


def visible_windows():
    """Every visible top-level window: id and title."""
    found = {}
    for wid in run("xdotool", "search", "--onlyvisible", "--name", "").split():
        found[wid] = run("xdotool", "getwindowname", wid).strip()
    return found


def answer_yes():
    wait_for(lambda: windows("确认"), 10)
    key("Return")
    wait_for(lambda: not windows("确认"), 10)


def type_new_score(editor):
    """新建, answered 是, and two lines of notes typed: 1 2 3 and 8 9 0."""
    click(editor, *NEW)
    answer_yes()
    click(editor, *TEXT)
    run("xdotool", "type", "--delay", "30", "1 2 3")
    key("Return")
    run("xdotool", "type", "--delay", "30", "8 9 0")


class Rendering(unittest.TestCase):
    def test_a_typed_score_renders_the_samples_in_order_then_says_so(self):
        with ProgramFolder(state={"themecolors.une": "0\r\n", "bft.une": "1\r\n", "AiMade.une": "0\r\n"}) as folder:
            editor = open_editor(folder)
            notices = len(folder.wait_started(1))  # the welcome at startup
            type_new_score(editor)
            before = outputs()
            ours = visible_windows()
            click(editor, *WAV)

            # The batch file and Python run without a console: no new window shows.
            others = set()

            def landed():
                others.update(title for wid, title in visible_windows().items()
                              if wid not in ours and title not in (EDITOR, MENU, MESSAGE))
                return outputs() - before
            self.assertTrue(wait_for(landed, 30, 0.02), "the WAV file lands")
            self.assertEqual(others, set(), "no console window during the render")

            script = wait_for(lambda: folder.read("wav\\wav.py"), 10)
            expected = TEMPLATE.replace("FFFFFFFFFFF", "files[1], files[2], files[3], files[0]") + "\r\n"
            self.assertEqual(len(TEMPLATE), 924)
            self.assertEqual(script, expected.encode("ascii"))

            new = wait_for(lambda: outputs() - before, 30)
            self.assertEqual(len(new), 1, "one WAV file lands in C:\\Orvane\\OutputWAV")
            name = new.pop()
            self.assertRegex(name, r"^WAV_\d{8}_\d{6}\.wav$")
            samples = [frames(folder.file(f"wav\\{d}.wav"))[1] for d in "1230"]
            self.assertEqual(frames(os.path.join(OUTPUT, name)), ((1, 2, 44100), b"".join(samples)))

            started = wait_for(lambda: len(folder.started()) > notices and folder.started(), 10)
            self.assertTrue(started, "the success notice follows the file")
            self.assertEqual(started[-1][0], "notice.exe")
            self.assertEqual(folder.read("title.une"), "生成成功\r\n".encode("gbk"))
            self.assertEqual(folder.read("text.une"), "生成的wav文件已为您保存在C:\\Orvane\\OutputWAV中\r\n".encode("gbk"))

            # The same script on samples of other formats: only mono 16-bit 44100 Hz joins.
            with tempfile.TemporaryDirectory() as odd:
                tone = bytes(range(256)) * 40
                write_wav(os.path.join(odd, "1.wav"), 2, 2, 44100, tone)
                write_wav(os.path.join(odd, "2.wav"), 1, 1, 44100, tone)
                write_wav(os.path.join(odd, "3.wav"), 1, 2, 22050, tone)
                write_wav(os.path.join(odd, "0.wav"), 1, 2, 44100, tone[:1000])
                with open(os.path.join(odd, "wav.py"), "wb") as f:
                    f.write(script)
                subprocess.run(["python3", "wav.py"], cwd=odd, check=True, stdin=subprocess.DEVNULL)
                out = os.path.join(odd, "C:\\Orvane\\OutputWAV")  # one odd name on the host
                (made,) = os.listdir(out)
                self.assertEqual(frames(os.path.join(out, made)), ((1, 2, 44100), tone[:1000]))

    def test_without_output_wav_bat_a_message_names_it_and_nothing_is_announced(self):
        with ProgramFolder(state={"themecolors.une": "1\r\n", "bft.une": "1\r\n", "AiMade.une": "0\r\n"},
                           missing=("outputWAV.bat",)) as folder:
            editor = open_editor(folder)
            notices = len(folder.wait_started(1))
            before = outputs()
            click(editor, *WAV)
            self.assertTrue(wait_for(lambda: windows("奥文Orvane"), 10), "a message box")
            key("Return")
            self.assertTrue(folder.read("wav\\wav.py"), "the script is still written")
            self.assertEqual(len(folder.started()), notices, "no success notice")
            self.assertEqual(folder.read("title.une"), "欢迎\r\n".encode("gbk"))
            self.assertEqual(outputs(), before)


class Closing(unittest.TestCase):
    def box_button(self, index):
        """Clicks button `index` (0 保存 or OK, 1 不保存, 2 取消) of the message box."""
        box = wait_window(MESSAGE, 10)
        click(box, box.width // 2 + (index - 1) * 77, box.height - 24)
        self.assertTrue(wait_for(lambda: not windows(MESSAGE), 5), "the box closes")

    def test_closing_with_changes_asks_and_each_answer_does_what_it_says(self):
        with ProgramFolder(state={"themecolors.une": "0\r\n", "bft.une": "1\r\n", "AiMade.une": "0\r\n"}) as folder:
            program = folder.start()
            editor = editor_from_menu()
            click(editor, *TEXT)
            run("xdotool", "type", "--delay", "30", "1 2 3")
            click(editor, *CLOSE)
            box = wait_window(MESSAGE, 10)
            screenshot(os.path.join(BUILD, "screens", "editor_close_question.png"), box)
            self.box_button(2)  # 取消
            self.assertEqual([w.id for w in windows(EDITOR)], [editor.id], "取消 keeps the editor")

            click(editor, *CLOSE)
            self.box_button(1)  # 不保存
            self.assertTrue(wait_for(lambda: not windows(EDITOR), 5))

            editor = editor_from_menu(10)
            click(editor, *TEXT)
            run("xdotool", "type", "--delay", "30", "4 5 6")
            click(editor, *CLOSE)
            self.box_button(0)  # 保存, through the save dialog
            wait_window(SAVE_DIALOG, 10)
            saved = os.path.join(folder.root, "kept.sop")
            run("xdotool", "type", "--delay", "20", "Z:" + saved.replace("/", "\\"))
            key("Return")
            self.assertTrue(wait_for(lambda: not windows(EDITOR), 10), "saved, the editor closes")
            with open(saved, "rb") as f:
                self.assertTrue(f.read().endswith(b"4 5 6\r\n"))
            wait_window(MENU)
            self.assertIsNone(program.poll())

    def test_ctrl_n_asks_as_new_does_and_alt_f4_returns_to_the_menu(self):
        with ProgramFolder(state={"themecolors.une": "0\r\n", "bft.une": "1\r\n", "AiMade.une": "0\r\n"}) as folder:
            program = folder.start()
            editor = editor_from_menu()
            click(editor, *TEXT)
            key("ctrl+n")  # the question of 新建; 否 keeps the text
            box = wait_window("确认", 10)
            click(box, box.width // 2 + 38, box.height - 24)
            self.assertTrue(wait_for(lambda: not windows("确认"), 5))
            click(editor, *TEXT)
            key("alt+F4")
            self.assertTrue(wait_for(lambda: not windows(EDITOR), 10), "Alt+F4 closes the editor")
            self.assertTrue(wait_window(MENU), "and the menu comes back")
            self.assertIsNone(program.poll(), "the program goes on")


class OutsideItems(unittest.TestCase):
    def batch(self, folder, name):
        log = os.path.join(folder.root, name + ".out")
        with open(log, "wb") as out:
            code = subprocess.run(["wine", "cmd", "/c", folder.file(name)], stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=subprocess.STDOUT).returncode
        with open(log, "rb") as f:
            return code, f.read().decode("utf-8", "replace")

    def test_a_missing_sample_is_named_and_vb_bat_checks_everything(self):
        with ProgramFolder() as folder:
            code, said = self.batch(folder, "VB.bat")
            self.assertEqual(code, 0, said)
            self.assertIn("Everything Orvane needs is in place", said)
            folder.write("wav\\wav.py", TEMPLATE.replace("FFFFFFFFFFF", "files[5]") + "\r\n")
            folder.remove("wav\\5.wav")
            code, said = self.batch(folder, "outputWAV.bat")
            self.assertEqual(code, 3)
            self.assertIn("note sample 5.wav", said)
            code, said = self.batch(folder, "VB.bat")
            self.assertEqual(code, 1)
            self.assertIn("MISSING: note sample wav\\5.wav", said)


class Screens(unittest.TestCase):
    """Leaves screenshots of the editor with a score of 40 lines in build/screens."""

    def test_screenshots(self):
        out = os.path.join(BUILD, "screens")
        os.makedirs(out, exist_ok=True)
        score_dir = tempfile.mkdtemp(prefix="orvane-score-")
        score = os.path.join(score_dir, "score40.sop")
        lines = ["小星星 · 变奏"] + [f"{'1 1 5 5 6 6 5 0 4 4 3 3 2 2 1 0'[: 8 + (i * 7) % 24]}  第{i}小节"
                                   for i in range(2, 41)]
        with open(score, "wb") as f:
            f.write("\r\n".join(lines).encode("gbk"))
        try:
            for theme, value in (("light", "0"), ("dark", "1")):
                with ProgramFolder(state={"themecolors.une": value + "\r\n", "bft.une": "1\r\n"}) as folder:
                    editor = open_editor(folder)
                    click(editor, *OPEN)
                    answer_yes()
                    wait_for(lambda: windows("选择一个 .sop 文件"), 10)
                    run("xdotool", "type", "--delay", "20", "Z:" + score.replace("/", "\\"))
                    key("Return")
                    wait_for(lambda: not windows("选择一个 .sop 文件"), 10)
                    import time
                    time.sleep(0.5)
                    screenshot(os.path.join(out, f"editor_{theme}.png"), editor)
        finally:
            shutil.rmtree(score_dir, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
