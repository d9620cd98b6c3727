"""Start to first paint of 奥文Orvane.exe (its splash) against a bare Win32 window of
the same size, at 96 and at 192 dpi, in one run: tools/bench-dpi.

Each start is timed from the moment `wine` is started to the moment the window's
middle pixel on the X screen is no longer black, polled through Xlib every millisecond.
The two programs take turns; the figures are medians.
"""

import ctypes
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import BUILD, RECORDER, wait_for  # noqa: E402
from screens import Screen  # noqa: E402

RUNS = int(os.environ.get("BENCH_RUNS", "7"))
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 4
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                          ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XGetPixel.restype = ctypes.c_ulong
x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
x11.XFree.argtypes = [ctypes.c_void_p]
# Windows come and go while the tree is read: their errors are no failure.
IGNORE_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda display, event: 0)
x11.XSetErrorHandler(IGNORE_ERRORS)


class Attributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int), ("planes", ctypes.c_ulong),
                ("pixel", ctypes.c_ulong), ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("installed", ctypes.c_int), ("map_state", ctypes.c_int), ("all_events", ctypes.c_long),
                ("your_events", ctypes.c_long), ("no_propagate", ctypes.c_long), ("override", ctypes.c_int),
                ("screen", ctypes.c_void_p)]


x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Attributes)]


x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
                                   ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_char_p)]


def title_of(display, window):
    """The window's _NET_WM_NAME (UTF-8): Wine sets no WM_NAME for Chinese titles."""
    kind, form, items, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
    value = ctypes.c_char_p()
    atom = x11.XInternAtom(display, b"_NET_WM_NAME", 0)
    if x11.XGetWindowProperty(display, window, atom, 0, 256, 0, 0, ctypes.byref(kind), ctypes.byref(form),
                              ctypes.byref(items), ctypes.byref(after), ctypes.byref(value)) != 0:
        return None
    if not value.value:
        return None
    title = value.value.decode("utf-8", "replace")
    x11.XFree(value)
    return title


def painted(display, title):
    """Whether a mapped top-level window of that title shows something at its middle."""
    root, parent, children, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    x11.XQueryTree(display, x11.XDefaultRootWindow(display), ctypes.byref(root), ctypes.byref(parent),
                   ctypes.byref(children), ctypes.byref(count))
    try:
        for i in range(count.value):
            if title_of(display, children[i]) != title:
                continue
            a = Attributes()
            x11.XGetWindowAttributes(display, children[i], ctypes.byref(a))
            if a.map_state != 2:  # IsViewable
                continue
            image = x11.XGetImage(display, x11.XDefaultRootWindow(display), a.x + a.width // 2,
                                  a.y + a.height // 2, 1, 1, 0xFFFFFFFF, 2)
            if image and x11.XGetPixel(image, 0, 0) & 0xFFFFFF:
                return True
    finally:
        if children:
            x11.XFree(children)
    return False


def first_paint(command, cwd, title):
    display = x11.XOpenDisplay(os.environ["DISPLAY"].encode())
    log = open(os.devnull, "wb")
    start = time.monotonic()
    process = subprocess.Popen(command, cwd=cwd, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    while not painted(display, title):
        if time.monotonic() - start > 30:
            raise SystemExit(f"bench-dpi: {title} never painted")
        time.sleep(0.001)
    elapsed = time.monotonic() - start
    process.kill()
    process.wait()
    wait_for(lambda: not painted(display, title), 5)
    x11.XCloseDisplay(display)
    return elapsed * 1000


def main():
    folder = tempfile.mkdtemp(prefix="bench-dpi ")
    program = os.path.join(folder, "Orvane")
    shutil.copytree(os.path.join(BUILD, "Orvane"), program)
    shutil.copy(RECORDER, os.path.join(program, "notice.exe"))  # no pop-ups piling up
    for name, value in (("bft.une", b"1\r\n"), ("themecolors.une", b"0\r\n")):
        with open(os.path.join(program, name), "wb") as f:
            f.write(value)
    bare = os.path.join(BUILD, "tools", "bare_window.exe")
    print(f"start to first paint, median of {RUNS} starts each (ms)")
    try:
        for size in ((1920, 1080, 96), (3840, 2160, 192)):
            with Screen(*size) as screen:
                first_paint(["wine", bare], folder, "bare window")  # the files in the cache
                first_paint(["wine", os.path.join(program, "奥文Orvane.exe")], program, "Orvane正在启动")
                times = {"bare": [], "main": []}
                for _ in range(RUNS):
                    times["bare"].append(first_paint(["wine", bare], folder, "bare window"))
                    times["main"].append(first_paint(["wine", os.path.join(program, "奥文Orvane.exe")], program,
                                                     "Orvane正在启动"))
                bare_ms, main_ms = statistics.median(times["bare"]), statistics.median(times["main"])
                print(f"{screen.dpi:4d} dpi  {screen}:  bare window {bare_ms:6.0f}   奥文Orvane {main_ms:6.0f}"
                      f"   ratio {main_ms / bare_ms:.2f}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
