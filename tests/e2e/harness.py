"""Drives the real programs under Wine as a person would.

Each test gets a program folder of its own (a copy of the built one, under a path with
a space and Chinese characters), starts an .exe in it, finds windows by their titles,
clicks at pixels inside them and reads the files they leave. Programs that the one
under test starts can be replaced by recorder.exe, which notes each start in
started.log beside itself.
"""

import os
import re
import shutil
import subprocess
import tempfile
import time

BUILD = os.environ.get("ORVANE_BUILD", os.path.join(os.path.dirname(__file__), "..", "..", "build"))
PROGRAM = os.path.join(BUILD, "Orvane")
RECORDER = os.path.join(BUILD, "tests", "recorder.exe")
MAIN = "奥文Orvane.exe"


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, stdin=subprocess.DEVNULL).stdout


def wait_for(condition, timeout=10.0, interval=0.05):
    """The condition's first true value, or None after the timeout."""
    until = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > until:
            return value
        time.sleep(interval)


class Window:
    def __init__(self, wid):
        self.id = wid
        shell = dict(line.split("=", 1) for line in run("xdotool", "getwindowgeometry", "--shell", wid).split())
        self.x, self.y = int(shell["X"]), int(shell["Y"])
        self.width, self.height = int(shell["WIDTH"]), int(shell["HEIGHT"])
        self.title = run("xdotool", "getwindowname", wid).strip()

    def __repr__(self):
        return f"<{self.title} {self.width}x{self.height} at {self.x},{self.y}>"


def search(title):
    """The ids of the visible windows of that title. A window destroyed while xdotool walks
    the tree makes it fail with an X error and print nothing: that is no answer, and the
    search is made again."""
    for _ in range(10):
        done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(title) + "$"],
                              capture_output=True, text=True, stdin=subprocess.DEVNULL)
        if done.returncode == 0 or not done.stderr.strip():
            return done.stdout.split()
        time.sleep(0.02)
    raise AssertionError(f"xdotool keeps failing: {done.stderr.strip()}")


def windows(title):
    """The visible windows whose title is exactly `title`, bottom to top (the order in
    which the X server lists them)."""
    ids = search(title)
    found = []
    for wid in ids:
        try:
            found.append(Window(wid))
        except (KeyError, ValueError):
            pass  # gone while we looked
    return found


def wait_window(title, timeout=15.0):
    """The topmost window of that title, once it has been mapped and painted."""
    found = wait_for(lambda: windows(title), timeout)
    if not found:
        raise AssertionError(f"no window titled {title!r} within {timeout} s")
    window = found[-1]
    wait_for(lambda: brightness(window, 0, 0, window.width, window.height) > 0, 3)
    return window


def wait_no_window(title, timeout=15.0):
    return wait_for(lambda: not windows(title), timeout)


def click(window, x, y):
    """A left click at pixel x, y of the window, pressed and released in place."""
    run("xdotool", "mousemove", "--sync", str(window.x + x), str(window.y + y))
    run("xdotool", "click", "1")


def screenshot(path, window=None):
    """The whole screen, or the window's rectangle of it, as a PNG."""
    command = ["import", "-window", "root"]
    if window:
        command += ["-crop", f"{window.width}x{window.height}+{window.x}+{window.y}", "+repage"]
    run(*command, path)
    return path


def brightness(window, x, y, width, height):
    """Mean brightness (0 to 1) of a rectangle of the window as it shows on screen."""
    crop = f"{width}x{height}+{window.x + x}+{window.y + y}"
    return float(run("import", "-window", "root", "-crop", crop, "-format", "%[fx:mean]", "info:"))


class ProgramFolder:
    """A program folder of one test: the built programs and state files, with stand-ins."""

    def __init__(self, state=None, stand_ins=("notice.exe",), missing=()):
        self.root = tempfile.mkdtemp(prefix="orvane e2e ")
        self.path = os.path.join(self.root, "奥文 程序")
        shutil.copytree(PROGRAM, self.path)
        for name in stand_ins:
            shutil.copy(RECORDER, os.path.join(self.path, name))
        for name in missing:
            self.remove(name)
        for name, content in (state or {}).items():
            self.write(name, content)
        self.processes = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def file(self, name):
        return os.path.join(self.path, *name.split("\\"))

    def read(self, name):
        try:
            with open(self.file(name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def write(self, name, content):
        with open(self.file(name), "wb") as f:
            f.write(content.encode("gbk") if isinstance(content, str) else content)

    def remove(self, name):
        target = self.file(name)
        if os.path.isdir(target):
            shutil.rmtree(target)
        elif os.path.exists(target):
            os.remove(target)

    def windows_path(self, name):
        """The file's path as a Windows program names it."""
        return "Z:" + self.file(name).replace("/", "\\")

    def start(self, exe=MAIN, cwd=None, args=()):
        """Starts an .exe of the folder under Wine; its output goes to a log beside it."""
        with open(os.path.join(self.root, exe + ".log"), "ab") as log:
            process = subprocess.Popen(["wine", self.file(exe), *args], cwd=cwd or self.path,
                                       stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def started(self):
        """The stand-ins started so far: (program file name, command line, current folder)."""
        log = self.read("started.log") or b""
        entries = []
        for line in log.decode("utf-8").splitlines():
            exe, command, folder = line.split("\t")
            entries.append((exe.split("\\")[-1], command, folder))
        return entries

    def wait_started(self, count, timeout=10.0):
        return wait_for(lambda: len(self.started()) >= count, timeout) and self.started()

    def close(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait(5)
        shutil.rmtree(self.root, ignore_errors=True)


def ended(process, timeout=10.0):
    """Whether the process ended within the timeout."""
    try:
        process.wait(timeout)
        return True
    except subprocess.TimeoutExpired:
        return False
