"""The installer end to end in a fresh Wine prefix, as a user meets it: a silent install
into the default folder with its Start-menu shortcut and uninstall key; the installed
Launcher.exe starting a first run into the welcome window; while it runs, an install or an
uninstall gives up before touching a file; a second install over one whose theme,
first-run flag, AI flag and account were changed keeps them and repairs the outside items;
the silent uninstall leaves no folder, shortcut, key or temporary file, and the works in
C:\\Orvane\\OutputWAV stay; a folder chosen with /D= that holds a wav folder of the
user's keeps it through an install, a reinstall and an uninstall."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from harness import BUILD, wait_for, wait_window  # noqa: E402

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane"
NAME = "奥文Orvane"


class Installer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="orvane install ")
        with open(os.path.join(BUILD, "version.txt")) as f:
            cls.version = f.read().strip()
        made = subprocess.run([os.path.join(SOURCE, "tools", "installer", "make"), BUILD,
                               os.path.join(cls.root, "dist")], capture_output=True, text=True,
                              stdin=subprocess.DEVNULL)
        assert made.returncode == 0, made.stderr
        cls.setup = os.path.join(cls.root, "dist", f"{NAME}-{cls.version}-setup.exe")
        cls.portable = os.path.join(cls.root, "dist", f"{NAME}-{cls.version}-portable.zip")
        # A prefix of its own, and a home of its own: Wine links the user's desktop there.
        home = os.path.join(cls.root, "home")
        os.makedirs(home)
        cls.env = dict(os.environ, HOME=home, WINEPREFIX=os.path.join(cls.root, "prefix"), WINEDEBUG="-all",
                       WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d")
        cls.wine("wineboot", "-i")
        subprocess.run(["wineserver", "-p"], env=cls.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        user = os.path.join(cls.env["WINEPREFIX"], "drive_c", "users", os.environ.get("USER") or "root")
        if not os.path.isdir(user):
            user = next(os.path.join(os.path.dirname(user), u) for u in os.listdir(os.path.dirname(user))
                        if u != "Public")
        cls.folder = os.path.join(user, "AppData", "Local", "Programs", NAME)
        cls.menu = os.path.join(user, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs",
                                NAME + ".lnk")
        cls.desktop = os.path.join(user, "Desktop", NAME + ".lnk")
        cls.works = os.path.join(cls.env["WINEPREFIX"], "drive_c", "Orvane", "OutputWAV")

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], env=cls.env, stdin=subprocess.DEVNULL)
        shutil.rmtree(cls.root, ignore_errors=True)

    @classmethod
    def wine(cls, *command):
        with open(os.path.join(cls.root, "wine.log"), "ab") as log:
            return subprocess.run(["wine", *command], env=cls.env, stdin=subprocess.DEVNULL, stdout=log,
                                  stderr=log).returncode

    def key(self):
        """The uninstall key's values, or None when there is no key."""
        exported = os.path.join(self.env["WINEPREFIX"], "drive_c", "key.reg")
        if os.path.exists(exported):
            os.remove(exported)
        if self.wine("reg", "export", KEY, "C:\\key.reg", "/y") != 0:
            return None
        with open(exported, "rb") as f:
            lines = f.read().decode("utf-16").splitlines()
        values = {}
        for line in lines:
            if line.startswith('"'):
                name, value = line.split("=", 1)
                values[name.strip('"')] = (int(value[6:], 16) if value.startswith("dword:")
                                           else value[1:-1].replace('\\"', '"').replace("\\\\", "\\"))
        return values

    def installed(self):
        return {os.path.relpath(os.path.join(d, n), self.folder).replace(os.sep, "/")
                for d, _, names in os.walk(self.folder) for n in names}

    def read(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()

    def write(self, name, data):
        with open(os.path.join(self.folder, name), "wb") as f:
            f.write(data)

    def test_install_first_run_upgrade_and_uninstall(self):
        # The silent install: the folder as the zip holds it, shortcuts, the key.
        self.assertEqual(self.wine(self.setup, "/S"), 0)
        with zipfile.ZipFile(self.portable) as z:
            shipped = {n.split("/", 1)[1] for n in z.namelist() if not n.endswith("/")}
        self.assertTrue({"奥文Orvane.exe", "notice.exe", "Launcher.exe", "wav/wavjoin.exe", "Ai.bat",
                         "outputWAV.bat", "VB.bat"} | {f"wav/{d}.wav" for d in range(8)} <= shipped, shipped)
        self.assertEqual(self.installed(), shipped | {"uninstall.exe"})
        self.assertEqual(self.read("bft.une"), b"0\r\n")
        self.assertTrue(os.path.isfile(self.menu))
        self.assertFalse(os.path.exists(self.desktop), "the desktop shortcut is unticked unless asked for")
        location = "C:" + self.folder.split("drive_c", 1)[1].replace("/", "\\")
        key = self.key()
        self.assertEqual({k: key[k] for k in ("DisplayName", "DisplayVersion", "Publisher", "DisplayIcon",
                                              "InstallLocation", "NoModify", "NoRepair")},
                         {"DisplayName": NAME, "DisplayVersion": self.version, "Publisher": "青石软件",
                          "DisplayIcon": location + "\\奥文Orvane.exe", "InstallLocation": location,
                          "NoModify": 1, "NoRepair": 1})
        size = sum(os.path.getsize(os.path.join(d, n)) for d, _, ns in os.walk(self.folder) for n in ns)
        self.assertAlmostEqual(key["EstimatedSize"], size / 1024, delta=64)
        self.assertEqual(key["UninstallString"], f'"{location}\\uninstall.exe"')

        # A first run: the installed Launcher starts the program into the welcome window.
        self.wine_start(os.path.join(self.folder, "Launcher.exe"))
        wait_window("欢迎使用Orvane", 30)

        # While the program runs (Windows, and Wine, hold a running .exe against writing),
        # an install or an uninstall gives up before it touches a file: exit code 2.
        os.remove(os.path.join(self.folder, "wav", "3.wav"))
        before = self.installed()
        self.assertEqual(self.wine(self.setup, "/S"), 2)
        self.assertEqual(self.installed(), before, "nothing written")
        self.assertEqual(self.wine(os.path.join(self.folder, "uninstall.exe"), "/S", "_?=" + location), 2)
        self.assertEqual(self.installed(), before, "nothing removed")
        self.assertIsNotNone(self.key())
        self.restart_wine()

        # Installing again keeps what the user chose and repairs what is ours.
        state = {"themecolors.une": b"Text2\r\n", "bft.une": b"1\r\n", "AiMade.une": b"1\r\n",
                 "admin.une": b"someone\r\n", "PASSWARD.une": b"scrambled\r\n"}
        for name, data in state.items():
            self.write(name, data)
        self.write("VB.bat", b"broken")
        self.assertEqual(self.wine(self.setup, "/S"), 0)
        self.assertEqual({name: self.read(name) for name in state}, state)
        # What the programs wrote beside themselves (the account, the welcome notice) stays too.
        self.assertTrue(shipped | {"uninstall.exe", "admin.une", "PASSWARD.une"} <= self.installed())
        with zipfile.ZipFile(self.portable) as z:
            self.assertEqual(self.read("VB.bat"), z.read(f"{NAME}/VB.bat"))

        # The silent uninstall: no folder, no shortcut, no key; the works stay.
        os.makedirs(self.works, exist_ok=True)
        work = os.path.join(self.works, "WAV_20261209_120000.wav")
        with open(work, "wb") as f:
            f.write(b"a piece")
        self.write("title.une", b"x\r\n")
        os.makedirs(os.path.join(self.folder, "output"))
        self.write("output/output.sop", b"123\r\n")
        self.write("wav/wav.py", b"import wave\r\n")
        # what a program ended in the middle of a write leaves
        for temporary in ("bft.une.~orvane77_0.tmp", "output/output.sop.~orvane78_1.tmp", "wav/wav.py.~orvane79_2.tmp"):
            self.write(temporary, b"half")
        self.wine(os.path.join(self.folder, "uninstall.exe"), "/S")
        # The uninstaller runs on from a copy of itself in the temporary folder.
        gone = lambda: not any(map(os.path.exists, (self.folder, self.menu, self.desktop)))  # noqa: E731
        self.assertTrue(wait_for(lambda: gone() and self.key() is None, 20),
                        (self.installed(), os.path.exists(self.menu), self.key(), self.wine_processes()))
        with open(work, "rb") as f:
            self.assertEqual(f.read(), b"a piece")

        # A folder of the user's choice that holds a wav folder of their own: it stays through
        # an install, an install again and the uninstall, which leaves only the user's files.
        chosen = os.path.join(self.env["WINEPREFIX"], "drive_c", "音乐")
        mine = {"wav/我的.wav": b"RIFF mine", "wav/旧作/1.wav": b"RIFF old", "笔记.txt": b"notes"}
        for name, data in mine.items():
            os.makedirs(os.path.dirname(os.path.join(chosen, name)), exist_ok=True)
            with open(os.path.join(chosen, name), "wb") as f:
                f.write(data)

        def files():
            """The folder's files and contents; None while the uninstaller deletes one under us."""
            found = {}
            for d, _, names in os.walk(chosen):
                for n in names:
                    try:
                        with open(os.path.join(d, n), "rb") as f:
                            found[os.path.relpath(os.path.join(d, n), chosen).replace(os.sep, "/")] = f.read()
                    except FileNotFoundError:
                        return None
            return found

        for _ in range(2):
            self.assertEqual(self.wine(self.setup, "/S", "/D=C:\\音乐"), 0)
            self.assertTrue(os.path.isfile(os.path.join(chosen, "wav", "wavjoin.exe")))
            self.assertEqual({n: d for n, d in files().items() if n in mine}, mine)
        self.assertEqual(self.key()["InstallLocation"], "C:\\音乐")
        self.wine(os.path.join(chosen, "uninstall.exe"), "/S")
        self.assertTrue(wait_for(lambda: files() == mine and self.key() is None, 20), files())

    def wine_processes(self):
        """The command lines of the processes of this prefix, its wineserver included."""
        mark = b"\0WINEPREFIX=" + self.env["WINEPREFIX"].encode() + b"\0"
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as f:
                    if mark not in b"\0" + f.read():
                        continue
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    found.append(f.read().replace(b"\0", b" ").decode("utf-8", "replace"))
            except OSError:
                pass
        return found

    def wine_start(self, exe):
        log = open(os.path.join(self.root, "program.log"), "ab")
        self.addCleanup(log.close)
        process = subprocess.Popen(["wine", exe], env=self.env, cwd=os.path.dirname(exe),
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self.addCleanup(lambda: process.poll() is None and (process.kill(), process.wait(5)))

    def restart_wine(self):
        """Ends every program of the prefix, and its wineserver, then starts a new server.
        A program that was still being started when the server went (the welcome window
        starts VB.bat) would start a server of its own and live on: end that one too."""
        for _ in range(5):
            subprocess.run(["wineserver", "-k"], env=self.env, stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if wait_for(lambda: not self.wine_processes(), 5):
                break
        self.assertEqual(self.wine_processes(), [])
        subprocess.run(["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

if __name__ == "__main__":
    unittest.main()
