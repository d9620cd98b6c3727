"""The program as a user without Python has it: a fresh Wine prefix whose mapping of the
host's root is removed, the program folder on a drive letter of its own. The AI tile
opens the editor with a score the native model wrote in this run; "生成WAV文件" leaves a
WAV file of the chosen samples joined, then the success notice; VB.bat exits 0 and calls
Python optional."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from harness import PROGRAM, RECORDER, click, run, wait_for, wait_window  # noqa: E402
from test_ai import AI_TILE, EDITOR, MENU, SAVE_BUTTON, SAVE_DIALOG  # noqa: E402
from layouts import middle  # noqa: E402
from test_editor import WAV, frames, key, type_new_score  # noqa: E402

DRIVE = "D:\\奥文Orvane"


class WithoutPython(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="orvane nopython ")
        self.folder = os.path.join(self.root, "drive", "奥文Orvane")
        shutil.copytree(PROGRAM, self.folder)
        shutil.copy(RECORDER, os.path.join(self.folder, "notice.exe"))
        for name, value in (("bft.une", "1"), ("themecolors.une", "0"), ("AiMade.une", "0")):
            self.write(name, value.encode() + b"\r\n")
        for leftover in ("output", os.path.join("wav", "wav.py")):
            shutil.rmtree(os.path.join(self.folder, leftover), ignore_errors=True)
        home = os.path.join(self.root, "home")
        os.makedirs(home)
        prefix = os.path.join(self.root, "prefix")
        self.env = dict(os.environ, HOME=home, WINEPREFIX=prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d")
        self.wine("wineboot", "-i")
        self.wine("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/t", "REG_SZ", "/d", "N", "/f")
        os.remove(os.path.join(prefix, "dosdevices", "z:"))
        os.symlink(os.path.join(self.root, "drive"), os.path.join(prefix, "dosdevices", "d:"))
        self.outputs = os.path.join(prefix, "drive_c", "Orvane", "OutputWAV")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.addCleanup(subprocess.run, ["wineserver", "-k"], env=self.env, stdin=subprocess.DEVNULL)

    def wine(self, *command, output=None):
        with open(output or os.path.join(self.root, "wine.log"), "ab") as log:
            return subprocess.run(["wine", *command], env=self.env, stdin=subprocess.DEVNULL, stdout=log,
                                  stderr=log).returncode

    def write(self, name, data):
        with open(os.path.join(self.folder, name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()

    def started(self):
        path = os.path.join(self.folder, "started.log")
        if not os.path.exists(path):
            return []
        with open(path, "rb") as f:
            return f.read().decode("utf-8").splitlines()

    def test_compose_render_and_check_with_nothing_but_the_program_folder(self):
        log = open(os.path.join(self.root, "program.log"), "ab")
        self.addCleanup(log.close)
        program = subprocess.Popen(["wine", DRIVE + "\\奥文Orvane.exe"], env=self.env, cwd=self.folder,
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self.addCleanup(lambda: program.poll() is None and (program.kill(), program.wait(5)))
        menu = wait_window(MENU, 30)

        # The AI tile: the native model writes the score the editor then holds.
        click(menu, *middle(AI_TILE))
        editor = wait_window(EDITOR, 20)
        score = self.read("output\\output.sop".replace("\\", os.sep)).decode("gbk")
        self.assertTrue(score.startswith("OrvaneX模型作品《"), score)
        click(editor, *middle(SAVE_BUTTON))
        wait_window(SAVE_DIALOG, 10)
        run("xdotool", "type", "--delay", "20", "D:\\ai.sop")
        key("Return")
        saved = os.path.join(self.root, "drive", "ai.sop")
        self.assertTrue(wait_for(lambda: os.path.exists(saved) and os.path.getsize(saved) > 0, 10))
        with open(saved, "rb") as f:
            self.assertEqual(f.read().decode("gbk"), score + "\r\n")

        # Rendering: the joiner writes the piece, then the success notice follows.
        notices = len(self.started())
        type_new_score(editor)
        click(editor, *WAV)
        made = wait_for(lambda: os.path.isdir(self.outputs) and os.listdir(self.outputs), 30)
        self.assertEqual(len(made or []), 1, "one WAV file in C:\\Orvane\\OutputWAV")
        self.assertTrue(wait_for(lambda: len(self.started()) > notices, 15), "the success notice")
        self.assertEqual(self.read("title.une"), "生成成功\r\n".encode("gbk"))
        samples = [frames(os.path.join(self.folder, "wav", f"{d}.wav"))[1] for d in "1230"]
        self.assertEqual(frames(os.path.join(self.outputs, made[0])), ((1, 2, 44100), b"".join(samples)))

        # The check of the welcome window: Python is optional.
        said = os.path.join(self.root, "vb.log")
        self.assertEqual(self.wine("cmd", "/c", DRIVE + "\\VB.bat", output=said), 0)
        with open(said, "rb") as f:
            text = f.read().decode("utf-8", "replace")
        self.assertIn("Python: not installed, which is fine", text)
        self.assertIn("Everything Orvane needs is in place", text)
        self.assertFalse(os.path.lexists(os.path.join(self.env["WINEPREFIX"], "dosdevices", "z:")))


if __name__ == "__main__":
    unittest.main()
