"""Robustness: files held by another program, bad contents in every file the programs
read, kills in the middle of writes, and a program folder that cannot be written. The
hundreds of generated cases per file run in the unit tests (BadFilesTest); here a few per
file go through the real programs, which must show their first window."""

import os
import random
import shutil
import subprocess
import time
import unittest

import layouts
from harness import BUILD, ProgramFolder, click, run, wait_for, wait_no_window, wait_window, windows
from layouts import middle

SPLASH = "Orvane正在启动"
WELCOME = "欢迎使用Orvane"
STEP = "新用户设置"
NOTICE = "青石软件_通知"
MESSAGE = "奥文Orvane"
START, NEXT_TALL = middle(layouts.WELCOME["Image2"]), middle(layouts.STEP_PYTHON["Image3"])
LIGHT = middle(layouts.STEP_THEME["Image3"])
HOLDER = os.path.join(BUILD, "tests", "holder.exe")
WRITER = os.path.join(BUILD, "tests", "writer.exe")
VB_BAT = "@echo off\r\n"
STATE = ("themecolors.une", "bft.une", "AiMade.une", "title.une", "text.une")


def seeded():
    seed = int(os.environ.get("ORVANE_SEED") or random.SystemRandom().randrange(2**32))
    print(f"seed {seed} (ORVANE_SEED={seed} repeats it)", flush=True)
    return random.Random(seed)


def bad_contents(rng):
    """One of each kind of bad content, drawn from the seed."""
    return {
        "random bytes": bytes(rng.randrange(256) for _ in range(rng.randrange(1, 400))),
        "invalid GBK": b"".join(rng.choice([b"\x81\x7f", b"\xfe\r", b"\x80", b"\xff", b"1"]) for _ in range(80)),
        "NUL bytes": b"\x00" * 5 + b"1\x00\r\n",
        "lone CR": b"1\r0\r\r\n",
        "10 MB": (b"1" + b"7" * 77 + b"\r\n") * (10 * 1024 * 1024 // 80),
        "zero length": b"",
    }


def temporaries(folder):
    return [name for name in os.listdir(folder.path) if ".~orvane" in name]


def message_boxes():
    return windows(MESSAGE)


class Robustness(unittest.TestCase):
    def setUp(self):
        self.assertTrue(wait_no_window(NOTICE, 6), "a notice of an earlier test is still on screen")

    def test_files_held_by_a_scanner_are_still_written_without_a_message(self):
        with ProgramFolder(state={"bft.une": "0\r\n", "themecolors.une": "Text2\r\n", "VB.bat": VB_BAT,
                                  "title.une": "旧\r\n", "text.une": "旧\r\n"}) as folder:
            shutil.copy(HOLDER, folder.file("holder.exe"))
            held = ["title.une", "text.une", "themecolors.une"]
            folder.start("holder.exe", args=["20000"] + [folder.windows_path(name) for name in held])
            self.assertTrue(wait_for(lambda: folder.read("held.log") == b"+++", 10), "the holder has the files")

            folder.start()
            self.assertTrue(wait_for(lambda: folder.read("title.une") == "欢迎\r\n".encode("gbk"), 10),
                            "the welcome request is written while held")
            welcome = wait_window(WELCOME, 20)
            click(welcome, *START)
            step = wait_window(STEP)
            click(step, *NEXT_TALL)
            self.assertTrue(wait_for(lambda: len(windows(STEP)) == 1 and windows(STEP)[0].id != step.id, 10))
            click(wait_window(STEP), *LIGHT)
            self.assertTrue(wait_for(lambda: folder.read("themecolors.une") == b"0\r\n", 10),
                            "the theme is written while held")
            self.assertEqual(message_boxes(), [], "no message")
            self.assertEqual(temporaries(folder), [])

    def test_bad_contents_in_every_file_read_still_bring_up_the_first_window(self):
        rng = seeded()
        for kind, content in bad_contents(rng).items():
            for title in (SPLASH, WELCOME, "Orvane", NOTICE):
                wait_no_window(title, 6)
            with self.subTest(kind), ProgramFolder(state={"VB.bat": VB_BAT}) as folder:
                os.makedirs(folder.file("output"), exist_ok=True)
                for name in STATE + ("admin.une", "PASSWARD.une", "output\\output.sop"):
                    folder.write(name, content)
                folder.start()
                self.assertTrue(wait_for(lambda: windows(SPLASH) or message_boxes(), 20), f"{kind}: nothing shows")
                self.assertEqual(message_boxes(), [], kind)
                self.assertTrue(wait_for(lambda: windows(WELCOME) or windows("Orvane"), 20),
                                f"{kind}: the splash routes on")

            with ProgramFolder(stand_ins=()) as folder:
                folder.write("title.une", content)
                folder.write("text.une", content)
                process = folder.start("notice.exe")
                shown = wait_for(lambda: windows(NOTICE) or windows("notice"), 20)
                self.assertTrue(shown, f"{kind}: the pop-up or its message shows")
                self.assertEqual(bool(windows("notice")), content == b"", kind)
                process.kill()
                wait_no_window(NOTICE, 6)

    def test_kills_in_the_middle_of_writes_leave_old_or_new_values_and_no_temporaries(self):
        rng = seeded()
        old, new = b"0\r\n", ("Text2" + "谱" * 200000 + "\r\n").encode("gbk")
        with ProgramFolder(state={**{name: "0\r\n" for name in STATE}, "VB.bat": VB_BAT}) as folder:
            shutil.copy(WRITER, folder.file("writer.exe"))
            for kill in range(50):
                writer = folder.start("writer.exe")
                time.sleep(rng.uniform(0.05, 0.6))
                writer.kill()
                writer.wait(5)
                for name in STATE:
                    self.assertIn(folder.read(name), (old, new), f"{name} after kill {kill}")
            left = temporaries(folder)
            print(f"{len(left)} temporaries left by the kills", flush=True)

            folder.write("bft.une", "0\r\n")
            folder.start()
            wait_window(SPLASH, 20)
            self.assertTrue(wait_for(lambda: not temporaries(folder), 10), temporaries(folder))

    def test_a_program_folder_that_cannot_be_written_is_told_and_nothing_is_half_written(self):
        with ProgramFolder(state={"bft.une": "0\r\n", "VB.bat": VB_BAT}) as folder:
            before = {name: folder.read(name) for name in os.listdir(folder.path)
                      if os.path.isfile(folder.file(name))}
            # Even root cannot change an immutable folder or file, as a read-only folder on Windows.
            frozen = [folder.file(name) for name in before] + [folder.path]
            subprocess.run(["chattr", "+i", *frozen], check=True)
            try:
                folder.start()
                wait_window(MESSAGE, 20)
                # The splash's time passes under the box without routing to the next window.
                time.sleep(3)
                self.assertEqual(windows(WELCOME), [], "no window opens over the box")
                self.assertEqual(len(message_boxes()), 1, "the box stays")
            finally:
                for process in folder.processes:
                    process.kill()
                subprocess.run(["chattr", "-i", *frozen])
            after = {name: folder.read(name) for name in os.listdir(folder.path)
                     if os.path.isfile(folder.file(name))}
            self.assertEqual(after, before)


if __name__ == "__main__":
    unittest.main()
