"""Launcher: starts 奥文Orvane.exe of its own folder by full path, whatever the current
folder; without it only the error window shows, and 好的 ends Launcher."""

import os
import shutil
import unittest

import layouts
from harness import (BUILD, MAIN, RECORDER, ProgramFolder, click, ended, run, screenshot, wait_window,
                     windows)

ERROR = "出错了"
LAUNCHER = "Launcher"


def windows_path(unix):
    return "Z:" + unix.replace("/", "\\")


class Launcher(unittest.TestCase):
    def test_started_elsewhere_it_starts_the_main_program_of_its_own_folder(self):
        with ProgramFolder(stand_ins=(MAIN,)) as folder:
            # The current folder holds a program of the same name, which must not start.
            elsewhere = os.path.join(folder.root, "别处 的文件夹")
            os.mkdir(elsewhere)
            shutil.copy(RECORDER, os.path.join(elsewhere, MAIN))
            launcher = folder.start("Launcher.exe", cwd=elsewhere)
            started = folder.wait_started(1)
            self.assertTrue(started, "the main program was not started")
            program = windows_path(folder.file(MAIN))
            self.assertEqual(started, [(MAIN, '"' + program + '"', windows_path(folder.path))])
            self.assertTrue(ended(launcher, 10), "Launcher ends at once")
            self.assertFalse(os.path.exists(os.path.join(elsewhere, "started.log")))
            self.assertEqual(windows(LAUNCHER) + windows(ERROR), [], "Launcher shows no window")

    def test_without_the_main_program_only_the_error_window_shows_and_ok_ends_launcher(self):
        for missing in ("deleted", "a folder"):
            with self.subTest(missing), ProgramFolder(stand_ins=(), missing=(MAIN,)) as folder:
                if missing == "a folder":
                    os.mkdir(folder.file(MAIN))
                launcher = folder.start("Launcher.exe")
                error = wait_window(ERROR)
                self.assertEqual((error.width, error.height), (514, 289))
                self.assertEqual(windows(LAUNCHER), [])
                click(error, 40, 40)  # the picture outside the button does nothing
                self.assertFalse(ended(launcher, 1.5))
                click(error, *layouts.middle(layouts.ERROR["Image2"]))
                self.assertTrue(ended(launcher, 10), "好的 ends Launcher")
                self.assertEqual(windows(ERROR), [])
                self.assertIsNone(folder.read("started.log"))

    def test_a_main_program_that_cannot_start_is_reported_in_a_message_box(self):
        with ProgramFolder(stand_ins=()) as folder:
            folder.write(MAIN, b"not a program\r\n")
            launcher = folder.start("Launcher.exe")
            box = wait_window(LAUNCHER)
            self.assertGreater(box.width, 100, "a message box, not the starter window")
            out = os.path.join(BUILD, "screens")
            os.makedirs(out, exist_ok=True)
            screenshot(os.path.join(out, "launcher_cannot_start.png"), box)
            self.assertEqual(windows(ERROR), [])
            run("xdotool", "key", "Return")
            self.assertTrue(ended(launcher, 10))


if __name__ == "__main__":
    unittest.main()
