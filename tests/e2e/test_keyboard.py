"""By keyboard alone under Wine: a first run through the welcome window and the three
setup steps to the closing window, then the editor opened from the main menu, a score
typed, saved and the editor closed, with the state files checked as the mouse tests do;
and the focus cue, which no mouse user ever sees and which shows around a tile after Tab."""

import os
import subprocess
import unittest

import layouts
from harness import BUILD, ProgramFolder, ended, run, screenshot, wait_for, wait_no_window, wait_window, windows
from test_setup import ERROR, MENU, STEP, VB_BAT, WELCOME, end_leftovers, real, scrambled, screens

EDITOR = "Orvane编辑器"
SAVE_DIALOG = "保存"
ART = os.path.join(os.path.dirname(__file__), "..", "..", "app", "art")
CUE = 7  # pixels from an area to the outer edge of its cue at 1x


def keys(*names):
    run("xdotool", "key", "--delay", "60", *names)


def type_text(text):
    run("xdotool", "type", "--delay", "30", text)


def focused(window):
    """The window, once it has the keyboard: keys pressed before would go elsewhere."""
    if not wait_for(lambda: run("xdotool", "getwindowfocus").strip() == window.id, 10):
        raise AssertionError(f"{window} never gets the keyboard; {run('xdotool', 'getwindowfocus')} has it")
    return window


def replaced(window, title):
    """The window of that title that took the place of `window`, once it has the keyboard.
    With no window manager on the virtual display, X's keyboard stays with the window
    that went: the test hands it over, as a window manager does for a window that is
    mapped and asks for the front."""
    if not wait_for(lambda: [w for w in windows(title) if w.id != window.id], 10):
        raise AssertionError(f"no new {title!r} window")
    new = wait_window(title)
    run("xdotool", "windowfocus", "--sync", new.id)
    return focused(new)


def picture(window, name):
    return screenshot(os.path.join(screens(), name), window)


def differing(a, b, box=None):
    """How many pixels differ between two pictures, or inside a box (x, y, w, h) of both."""
    crop = f"[{box[2]}x{box[3]}+{box[0]}+{box[1]}]" if box else ""
    done = subprocess.run(["compare", "-metric", "AE", a + crop, b + crop, "null:"], capture_output=True, text=True)
    return int(float(done.stderr.split()[0]))


def difference_box(a, b):
    """The smallest rectangle (left, top, right, bottom) that holds every differing pixel."""
    geometry = run("convert", a, b, "-compose", "difference", "-composite", "-colorspace", "gray",
                   "-threshold", "0", "-format", "%@", "info:")
    w, h, x, y = (int(n) for n in geometry.replace("x", "+").split("+"))
    return (x, y, x + w, y + h)


class Keyboard(unittest.TestCase):
    def test_a_first_run_then_a_score_saved_in_the_editor_without_a_mouse(self):
        stand_ins = ["notice.exe", "python.exe"] + ([] if real("Launcher.exe") else ["Launcher.exe"])
        files = {"bft.une": "0\r\n", "themecolors.une": "0\r\n", "VB.bat": VB_BAT, "AiMade.une": "0\r\n"}
        with ProgramFolder(state=files, stand_ins=stand_ins) as folder:
            self.addCleanup(end_leftovers, folder)
            program = folder.start()
            welcome = focused(wait_window(WELCOME, 20))
            keys("Return")  # 开始 has the focus
            step1 = replaced(welcome, STEP)
            keys("Tab", "Return")  # past 安装python to 下一步
            step2 = replaced(step1, STEP)
            keys("Tab", "Return")  # 暗黑主题
            step3 = replaced(step2, STEP)
            self.assertEqual(folder.read("themecolors.une"), b"Text2\r\n")
            type_text("alice")  # over the selected name in the first box
            keys("Tab")
            type_text("Secret 1")
            keys("Tab", "Return")  # 下一步
            replaced(step3, STEP)
            self.assertEqual(folder.read("admin.une"), b"alice\r\n")
            self.assertEqual(folder.read("PASSWARD.une"), scrambled("Secret 1"))
            keys("Return")  # 完成
            self.assertTrue(ended(program, 10), "完成 ends the program")
            self.assertEqual(folder.read("bft.une"), b"1\r\n")
            if not real("Launcher.exe"):
                folder.start()  # what Launcher does
            focused(wait_window(MENU, 20))
            self.assertEqual(windows(ERROR), [])
            self.edit_and_save(folder)

    def test_a_score_typed_saved_and_the_editor_closed_without_a_mouse(self):
        state = {"bft.une": "1\r\n", "themecolors.une": "0\r\n", "AiMade.une": "0\r\n"}
        with ProgramFolder(state=state) as folder:
            folder.start()
            self.edit_and_save(folder)

    def edit_and_save(self, folder):
        """From the main menu: the editor, a score typed, saved through 保存, the editor closed."""
        focused(wait_window(MENU, 20))
        keys("Right", "Return")  # from AI创作 to 编辑器
        focused(wait_window(EDITOR))
        keys("ctrl+End")  # the focus is in the score
        type_text("1 2 3")
        keys("shift+Tab", "shift+Tab", "shift+Tab", "shift+Tab", "Return")  # past 导出MIDI, AI续写, 生成WAV文件 to 保存
        wait_window(SAVE_DIALOG, 10)
        saved = os.path.join(folder.root, "keys.sop")
        type_text("Z:" + saved.replace("/", "\\"))
        keys("Return")
        self.assertTrue(wait_for(lambda: os.path.exists(saved), 10), "saved")
        self.assertTrue(wait_no_window(SAVE_DIALOG, 5))
        with open(saved, "rb") as f:
            self.assertTrue(f.read().endswith(b"1 2 3\r\n"))
        wait_for(lambda: windows(EDITOR), 5)
        keys("Tab", "Tab", "Tab", "Tab", "Tab", "Return")  # from 保存 past 生成WAV文件, AI续写, 导出MIDI, the score, to the cross
        self.assertTrue(wait_no_window(EDITOR, 10), "the saved score closes without a question")
        wait_window(MENU, 10)  # back to the main menu

    def test_the_focus_cue_waits_for_the_keyboard_in_both_themes(self):
        x, y, w, h = layouts.MENU["ImageABOUT"]
        for theme, art in (("0\r\n", "menu_light.png"), ("1\r\n", "menu_dark.png")):
            with self.subTest(art), ProgramFolder(state={"bft.une": "1\r\n", "themecolors.une": theme,
                                                         "AiMade.une": "0\r\n"}) as folder:
                folder.start()
                menu = focused(wait_window(MENU, 20))
                before = picture(menu, "keyboard_before_" + art)
                self.assertEqual(differing(before, os.path.join(ART, art)), 0,
                                 "before a key the menu is its picture, pixel for pixel")

                keys("Tab")  # from AI创作 to the about banner
                after = os.path.join(screens(), "keyboard_tab_" + art)
                self.assertTrue(wait_for(lambda: differing(picture(menu, "keyboard_tab_" + art), before), 5))
                self.assertEqual(difference_box(before, after), (x - CUE, y - CUE, x + w + CUE, y + h + CUE),
                                 "the cue surrounds the banner and nothing else changes")
                self.assertEqual(differing(before, after, (x, y, w, h)), 0, "the banner is drawn as before")
                self.assertGreater(differing(before, after), 2 * (w + h), "a line all round")


if __name__ == "__main__":
    unittest.main()
