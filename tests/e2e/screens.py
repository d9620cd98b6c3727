"""Screens of other sizes and scalings for the end-to-end tests and the DPI benchmark.

A Screen is a virtual display of its own (Xvfb) and a Wine prefix whose LogPixels is
the scaling asked for, with a wineserver of its own. The prefixes are light copies of
the build's prefix: their registry files are copied with the new LogPixels, drive C:
is the build prefix's own. They are kept between runs in build/wineprefix-dpiN.
"""

import os
import re
import shutil
import subprocess
import time

from harness import BUILD, wait_for

BASE_PREFIX = os.environ.get("WINEPREFIX", os.path.join(BUILD, "wineprefix"))
REGISTRY = ("system.reg", "user.reg", "userdef.reg")


def prefix_for(dpi):
    """The build's prefix at `dpi` dots per inch, made on first use."""
    prefix = os.path.join(BUILD, f"wineprefix-dpi{dpi}")
    ready = os.path.join(prefix, ".orvane-dpi-ready")
    if os.path.exists(ready):
        return prefix
    shutil.rmtree(prefix, ignore_errors=True)
    os.makedirs(prefix)
    for name in REGISTRY + (".update-timestamp",):
        source = os.path.join(BASE_PREFIX, name)
        if name in REGISTRY:
            with open(source, encoding="utf-8", errors="surrogateescape") as f:
                text = f.read()
            text, count = re.subn(r'"LogPixels"=dword:[0-9a-f]{8}', f'"LogPixels"=dword:{dpi:08x}', text)
            with open(os.path.join(prefix, name), "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write(text)
        elif os.path.exists(source):
            shutil.copy2(source, prefix)
    os.symlink(os.path.join(BASE_PREFIX, "drive_c"), os.path.join(prefix, "drive_c"))
    shutil.copytree(os.path.join(BASE_PREFIX, "dosdevices"), os.path.join(prefix, "dosdevices"), symlinks=True)
    open(ready, "w").close()
    return prefix


def free_display():
    n = 120
    while os.path.exists(f"/tmp/.X11-unix/X{n}") or os.path.exists(f"/tmp/.X{n}-lock"):
        n += 1
    return f":{n}"


class Screen:
    """A display of width x height at dpi, made current for this process (DISPLAY,
    WINEPREFIX) while the with-block runs."""

    def __init__(self, width, height, dpi):
        self.width, self.height, self.dpi = width, height, dpi
        self.scale = dpi / 96

    def __repr__(self):
        return f"{self.width}x{self.height}@{round(self.scale * 100)}%"

    def __enter__(self):
        self.saved = {k: os.environ.get(k) for k in ("DISPLAY", "WINEPREFIX")}
        self.display = free_display()
        self.xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", f"{self.width}x{self.height}x24",
                                      "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.environ["DISPLAY"] = self.display
        os.environ["WINEPREFIX"] = prefix_for(self.dpi)
        if not wait_for(lambda: subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0, 10, 0.1):
            raise AssertionError(f"Xvfb {self.display} did not start")
        # A server of this prefix's own: Wine learns the screen's size when its first
        # program starts, so one that served another display would misplace windows.
        self.wine("wineserver", "-k")
        subprocess.run(["wineserver", "-p"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        self.wine("wine", "cmd.exe", "/c", "exit")
        return self

    def __exit__(self, *exc):
        self.wine("wineserver", "-k")
        time.sleep(0.2)
        self.xvfb.kill()
        self.xvfb.wait(5)
        for key, value in self.saved.items():
            if value is None:
                os.environ.pop(key, None)
            else:
                os.environ[key] = value

    @staticmethod
    def wine(*command):
        subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def holds(self, window):
        """Whether the window lies wholly on the screen."""
        return (window.x >= 0 and window.y >= 0 and window.x + window.width <= self.width and
                window.y + window.height <= self.height)
