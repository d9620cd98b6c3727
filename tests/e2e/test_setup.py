"""The first-run setup under Wine: from the splash through the welcome window and the
three steps to the closing window, which marks the setup complete and restarts the
program through Launcher; the notification of step 2, the error window in front of
step 3, and the × that ends the program and leaves the setup to run again."""

import os
import signal
import unittest

import layouts
from harness import (BUILD, PROGRAM, ProgramFolder, brightness, click, ended, run, screenshot, wait_for,
                     wait_no_window, wait_window, windows)
from layouts import middle

WELCOME = "欢迎使用Orvane"
STEP = "新用户设置"
ERROR = "出错了"
MENU = "Orvane"
NOTICE = "青石软件_通知"
LOGIN = "登录"
SETTINGS = "Orvane设置"
MESSAGE = "奥文Orvane"  # message boxes without a title of their own carry the program's name

START, INSTALL = middle(layouts.WELCOME["Image2"]), middle(layouts.STEP_PYTHON["Image4"])
NEXT_TALL = middle(layouts.STEP_PYTHON["Image3"])  # 下一步 of step 1, 完成
LIGHT, DARK = middle(layouts.STEP_THEME["Image3"]), middle(layouts.STEP_THEME["Image4"])
NEXT_LOW = middle(layouts.STEP_THEME["Image5"])  # 下一步 of steps 2 and 3
USER_BOX, PASSWORD_BOX = middle(layouts.STEP_ACCOUNT_BOXES["Text1"]), middle(layouts.STEP_ACCOUNT_BOXES["Text2"])
CLOSE, OK = middle(layouts.STEP_ACCOUNT["Image2"]), middle(layouts.ERROR["Image2"])
SETTINGS_TILE, MENU_CLOSE = middle(layouts.MENU["ImageSET"]), middle(layouts.MENU["ImageU"])
LOGIN_PASSWORD_BOX, LOGIN_BUTTON = middle(layouts.LOGIN_BOXES["Text2"]), middle(layouts.LOGIN["ImageLOGIN"])
SETTINGS_CLOSE = middle(layouts.SETTINGS["ImageU"])

# VB.bat of the tests: it notes each start in vb.log beside itself.
VB_BAT = '@echo started>> "%~dp0vb.log"\r\n'


def screens():
    out = os.path.join(BUILD, "screens")
    os.makedirs(out, exist_ok=True)
    return out


def scrambled(password):
    return bytes(b ^ 117 for b in password.encode("gbk")) + b"\r\n"


def real(name):
    """Whether the build holds the real program of that name (and not only a stand-in)."""
    return os.path.exists(os.path.join(PROGRAM, name))


def next_step(step, x, y):
    """Clicks at x, y of a step and returns the step window that took its place."""
    click(step, x, y)
    changed = wait_for(lambda: [w for w in windows(STEP) if w.id != step.id], 10)
    if not changed:
        raise AssertionError(f"no new step after the click at {x}, {y}")
    return wait_window(STEP)


def end_leftovers(folder):
    """Ends what the test started indirectly (the program that Launcher starts anew): the
    processes whose command line names this test's own program folder."""
    tag = os.path.basename(folder.root)
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if tag in f.read().decode("utf-8", "replace"):
                    os.kill(int(pid), signal.SIGKILL)
        except (OSError, ProcessLookupError):
            pass  # gone meanwhile


def type_into(window, box, text, clear=0):
    click(window, *box)
    if clear:
        run("xdotool", "key", "End")
        run("xdotool", "key", "--repeat", str(clear), "BackSpace")
    run("xdotool", "type", "--delay", "30", text)


class Setup(unittest.TestCase):
    def folder(self, stand_ins=("notice.exe", "python.exe", "Launcher.exe"), missing=(), **state):
        files = {"bft.une": "0\r\n", "themecolors.une": "0\r\n", "VB.bat": VB_BAT}
        files.update(state)
        return ProgramFolder(state=files, stand_ins=stand_ins, missing=missing)

    def welcome(self, folder):
        welcome = wait_window(WELCOME, 20)
        self.assertEqual((welcome.width, welcome.height), (787, 443))
        return welcome

    def test_first_run_to_the_restart(self):
        stand_ins = ["notice.exe", "python.exe"] + ([] if real("Launcher.exe") else ["Launcher.exe"])
        with self.folder(stand_ins=stand_ins) as folder:
            self.addCleanup(end_leftovers, folder)
            program = folder.start()
            welcome = self.welcome(folder)
            self.assertTrue(wait_for(lambda: folder.read("vb.log") == b"started\r\n", 10), "VB.bat ran")
            screenshot(os.path.join(screens(), "setup_welcome.png"), welcome)

            click(welcome, *START)
            step1 = wait_window(STEP)
            self.assertEqual((step1.width, step1.height), (1150, 660))
            self.assertEqual(windows(WELCOME), [])
            screenshot(os.path.join(screens(), "setup_step1.png"), step1)
            click(step1, *INSTALL)
            started = folder.wait_started(2)  # notice.exe from the splash, then the installer
            self.assertTrue(started)
            self.assertEqual(started[1][0], "python.exe")
            self.assertEqual(started[1][1], '"' + started[1][2] + '\\python.exe"', "full path, no arguments")
            self.assertEqual([w.id for w in windows(STEP)], [step1.id], "step 1 stays while Python installs")

            step2 = next_step(step1, *NEXT_TALL)
            screenshot(os.path.join(screens(), "setup_step2.png"), step2)
            step3 = next_step(step2, *DARK)
            self.assertEqual(folder.read("themecolors.une"), b"Text2\r\n")

            # the user name box starts with the system user's name; the password shows as typed
            type_into(step3, USER_BOX, "alice", clear=40)
            type_into(step3, PASSWORD_BOX, "Secret 1")
            screenshot(os.path.join(screens(), "setup_step3.png"), step3)
            self.assertLess(brightness(step3, 608, 376, 120, 25), 0.97, "the password is visible in its box")
            done = next_step(step3, *NEXT_LOW)
            self.assertEqual(folder.read("admin.une"), b"alice\r\n")
            self.assertEqual(folder.read("PASSWARD.une"), scrambled("Secret 1"))
            screenshot(os.path.join(screens(), "setup_done.png"), done)

            click(done, *NEXT_TALL)
            self.assertTrue(ended(program, 10), "完成 ends the program at once")
            self.assertEqual(folder.read("bft.une"), b"1\r\n")
            self.assertEqual(windows(STEP), [])
            if not real("Launcher.exe"):
                started = folder.wait_started(3)
                self.assertTrue(started and started[-1][0] == "Launcher.exe", started)
                self.assertEqual(started[-1][1], '"' + started[-1][2] + '\\Launcher.exe"', "full path, no arguments")
                folder.start()  # what Launcher does
            menu = wait_window(MENU, 20)  # the new start finds the setup complete
            screenshot(os.path.join(screens(), "setup_restarted_menu.png"), menu)
            self.assertLess(brightness(menu, 10, 10, 80, 80), 0.3, "the dark main menu")
            self.assertEqual(windows(WELCOME), [])

            # the account of step 3 opens the settings
            click(menu, *SETTINGS_TILE)
            login = wait_for(lambda: windows(LOGIN), 5)
            if not login:
                self.skipTest("the settings tile does not lead to the login window in this build")
            type_into(login[-1], LOGIN_PASSWORD_BOX, "Secret 1")
            click(login[-1], *LOGIN_BUTTON)
            settings = wait_window(SETTINGS)  # the password of step 3 logs in
            click(settings, *SETTINGS_CLOSE)
            self.assertTrue(wait_no_window(SETTINGS, 5))
            click(menu, *MENU_CLOSE)
            self.assertTrue(wait_no_window(MENU, 10), "the program ends with its last window")

    def test_step_one_without_an_installer_says_python_is_optional_and_stays(self):
        with self.folder(stand_ins=("notice.exe", "Launcher.exe"), missing=("python.exe",)) as folder:
            program = folder.start()
            click(self.welcome(folder), *START)
            step1 = wait_window(STEP)
            click(step1, *INSTALL)
            box = wait_window(MESSAGE, 10)
            screenshot(os.path.join(screens(), "setup_no_python.png"), step1)  # the box over the step
            self.assertEqual(windows(ERROR), [])
            click(box, box.width // 2, box.height - 24)  # OK
            self.assertTrue(wait_no_window(MESSAGE, 5))
            self.assertIsNone(program.poll(), "the program keeps running")
            self.assertEqual([w.id for w in windows(STEP)], [step1.id], "the wizard stays on step 1")
            next_step(step1, *NEXT_TALL)  # and goes on from there

    def test_next_on_step_two_takes_the_light_theme_with_a_notification(self):
        stand_ins = ["python.exe", "Launcher.exe"] + ([] if real("notice.exe") else ["notice.exe"])
        with self.folder(stand_ins=stand_ins, **{"themecolors.une": "Text2\r\n"}) as folder:
            folder.start()
            click(self.welcome(folder), *START)
            step2 = next_step(wait_window(STEP), *NEXT_TALL)
            folder.remove("title.une")
            next_step(step2, *NEXT_LOW)
            self.assertEqual(folder.read("themecolors.une"), b"0\r\n")
            self.assertEqual(folder.read("title.une"), "通知\r\n".encode("gbk"))
            self.assertEqual(folder.read("text.une"), "已为您自动选择洁白主题\r\n".encode("gbk"))
            if real("notice.exe"):
                self.assertTrue(wait_for(lambda: windows(NOTICE), 10), "the 通知 pop-up shows")
                screenshot(os.path.join(screens(), "setup_notice.png"))
            else:
                started = folder.wait_started(2)
                self.assertTrue(started and started[-1][0] == "notice.exe", started)
            self.assertEqual(windows(ERROR), [])

    def test_without_notice_the_error_window_stands_in_front_of_step_three(self):
        with self.folder() as folder:
            # the splash needs notice.exe; it goes before step 2 is reached
            program = folder.start()
            welcome = self.welcome(folder)
            folder.remove("notice.exe")
            click(welcome, *START)
            step2 = next_step(wait_window(STEP), *NEXT_TALL)
            click(step2, *NEXT_LOW)
            error = wait_window(ERROR)
            step3 = wait_window(STEP)
            self.assertNotEqual(step3.id, step2.id)
            self.assertEqual(folder.read("themecolors.une"), b"0\r\n")
            # the error picture, not step 3, shows where the two overlap: its red cross
            shot = screenshot(os.path.join(screens(), "setup_error_over_step3.png"))
            pixel = run("convert", shot, "-format", f"%[fx:int(255*p{{{error.x + 60},{error.y + 92}}}.r)],"
                        f"%[fx:int(255*p{{{error.x + 60},{error.y + 92}}}.g)]", "info:")
            r, g = map(int, pixel.split(","))
            self.assertGreater(r - g, 120, "the red of the error picture")
            click(error, *OK)
            self.assertTrue(ended(program, 10), "好的 ends the program with step 3")
            self.assertEqual(windows(STEP), [])

    def test_close_on_step_three_keeps_the_theme_and_runs_the_setup_again(self):
        with self.folder() as folder:
            program = folder.start()
            click(self.welcome(folder), *START)
            step2 = next_step(wait_window(STEP), *NEXT_TALL)
            step3 = next_step(step2, *DARK)
            click(step3, *CLOSE)
            self.assertTrue(ended(program, 10), "× ends the program at once")
            self.assertEqual(windows(STEP), [])
            self.assertEqual(folder.read("themecolors.une"), b"Text2\r\n")
            self.assertEqual(folder.read("bft.une"), b"0\r\n")
            self.assertIsNone(folder.read("admin.une"))

            folder.start()
            self.welcome(folder)
            self.assertTrue(wait_for(lambda: folder.read("vb.log") == b"started\r\nstarted\r\n", 10),
                            "VB.bat at each welcome")

    def test_a_theme_file_that_cannot_be_written_is_reported_and_ends_the_program(self):
        with self.folder(**{"themecolors.une": "0\r\n"}) as folder:
            os.chmod(folder.file("themecolors.une"), 0o444)  # Wine shows it as a read-only file
            program = folder.start()
            click(self.welcome(folder), *START)
            step2 = next_step(wait_window(STEP), *NEXT_TALL)
            click(step2, *DARK)
            message = wait_window(MESSAGE)
            screenshot(os.path.join(screens(), "setup_unwritable.png"), message)
            run("xdotool", "key", "Return")
            self.assertTrue(ended(program, 10), "the program ends after the message")
            self.assertEqual(windows(STEP), [], "step 3 never shows")
            self.assertEqual(folder.read("themecolors.une"), b"0\r\n")


if __name__ == "__main__":
    unittest.main()
