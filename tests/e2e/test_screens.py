"""Screens that people have: each of them a virtual display of its size and a Wine
prefix at its scaling. On each, the splash, the welcome pop-up, the menu and the editor
lie wholly on the screen; on the screens where the windows must shrink to fit, each
menu tile clicked in the middle of its drawn picture opens its window (on every screen
with ORVANE_FULL_SCREENS=1). The welcome pop-up's pixels stay above the menu for its
three seconds, and the pointer is a hand over the click areas."""

import ctypes
import os
import shutil
import signal
import subprocess
import time
import unittest

import layouts
from harness import BUILD, ProgramFolder, click, run, screenshot, wait_for, wait_no_window, wait_window, windows
from screens import Screen

SPLASH, MENU, POP_UP, EDITOR = "Orvane正在启动", "Orvane", "青石软件_通知", "Orvane编辑器"
ABOUT, LOGIN, EXPLORER, PROGRAM_NAME = "关于", "登录", "OutputWAV", "奥文Orvane"
MENU_SIZE = (1286, 748)
# The drawn tiles of the menu (pixels of its 1x design) and what each opens.
AI, ABOUT_TILE, EDITOR_TILE = layouts.MENU["ImageAi"], layouts.MENU["ImageABOUT"], layouts.MENU["ImageEDITOR"]
MY_WORKS, SETTINGS = layouts.MENU["ImageWDZP"], layouts.MENU["ImageSET"]
ABOUT_CROSS, LOGIN_BACK, EDITOR_CROSS = layouts.ABOUT["ImageU"], layouts.LOGIN["ImageUN"], layouts.EDITOR["ImageUN"]
BLUE_STRIPE, PANEL = (63, 133, 225), (33, 38, 39)  # the pop-up's picture

ALL = [(1920, 1080, 96), (1366, 768, 96), (1920, 1080, 144), (2560, 1440, 144), (3840, 2160, 192)]
FULL = os.environ.get("ORVANE_FULL_SCREENS") == "1"
TILE_SWEEP = ALL if FULL else [(1366, 768, 96), (1920, 1080, 144)]
SHOTS = os.path.join(BUILD, "screens")


def middle(window, design, box):
    """The middle of a box of the 1x design, on the window as it is drawn."""
    x, y, w, h = box
    scale = window.width / design[0]
    return round((x + w / 2) * scale), round((y + h / 2) * scale)


def click_box(window, design, box):
    click(window, *middle(window, design, box))


def pixels(x, y, width, height):
    """The colours of a rectangle of the screen, row by row."""
    raw = subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "-depth", "8",
                          "rgb:-"], capture_output=True, stdin=subprocess.DEVNULL).stdout
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def near(colour, expected, tolerance=12):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def cursor_image():
    """The pointer's picture as the X server shows it (XFixes)."""

    class Image(ctypes.Structure):
        _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                    ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                    ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                    ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]

    x11, fixes = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    fixes.XFixesGetCursorImage.restype = ctypes.POINTER(Image)
    fixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(os.environ["DISPLAY"].encode())
    try:
        image = fixes.XFixesGetCursorImage(display).contents
        return (image.width, image.height, image.xhot, image.yhot,
                tuple(image.pixels[i] for i in range(image.width * image.height)))
    finally:
        x11.XCloseDisplay(display)


def explorers():
    for line in run("ps", "-eo", "pid=,args=").splitlines():
        pid, _, args = line.strip().partition(" ")
        if args.lower().endswith("explorer.exe c:\\orvane\\outputwav"):
            yield int(pid)


class Screens(unittest.TestCase):
    def start(self, screen):
        folder = ProgramFolder(state={"bft.une": "1\r\n", "themecolors.une": "0\r\n", "AiMade.une": "0\r\n"},
                               stand_ins=())
        self.addCleanup(folder.close)
        folder.start()
        return folder

    def assert_on(self, screen, title):
        window = wait_window(title)
        self.assertTrue(screen.holds(window), f"{window} off the screen {screen}")
        return window

    def test_every_window_on_every_screen(self):
        os.makedirs(SHOTS, exist_ok=True)
        for size in ALL:
            with Screen(*size) as screen, self.subTest(str(screen)):
                folder = self.start(screen)
                self.assert_on(screen, POP_UP)  # first: it lasts three seconds from the splash's start
                self.assert_on(screen, SPLASH)
                menu = self.assert_on(screen, MENU)
                if MENU_SIZE[0] * screen.scale <= screen.width and MENU_SIZE[1] * screen.scale <= screen.height:
                    self.assertEqual(menu.width, round(MENU_SIZE[0] * screen.scale), "as designed where it fits")
                tag = f"{screen.width}x{screen.height}_{screen.dpi}"
                screenshot(os.path.join(SHOTS, f"menu_{tag}.png"), menu)
                if size in TILE_SWEEP:
                    self.sweep_tiles(screen, folder, menu)
                else:
                    click_box(menu, MENU_SIZE, EDITOR_TILE)
                editor = self.assert_on(screen, EDITOR)
                screenshot(os.path.join(SHOTS, f"editor_{tag}.png"), editor)
                folder.close()

    def sweep_tiles(self, screen, folder, menu):
        """Each tile opens its window; the windows that leave the menu open are closed
        by their own buttons, the two editor tiles come last, the AI tile at the end."""
        click_box(menu, MENU_SIZE, ABOUT_TILE)
        about = self.assert_on(screen, ABOUT)
        click_box(about, (858, 612), ABOUT_CROSS)
        self.assertTrue(wait_no_window(ABOUT, 5))
        click_box(menu, MENU_SIZE, SETTINGS)
        login = self.assert_on(screen, LOGIN)
        click_box(login, (345, 551), LOGIN_BACK)
        self.assertTrue(wait_no_window(LOGIN, 5))
        output = os.path.join(os.environ["WINEPREFIX"], "drive_c", "Orvane")
        if not os.path.exists(output):
            self.addCleanup(shutil.rmtree, output, True)
        click_box(menu, MENU_SIZE, MY_WORKS)
        self.assertTrue(wait_for(lambda: windows(EXPLORER), 15), "the output folder opens")
        for pid in explorers():
            os.kill(pid, signal.SIGTERM)
        wait_no_window(EXPLORER, 5)
        click_box(menu, MENU_SIZE, EDITOR_TILE)
        editor = self.assert_on(screen, EDITOR)
        click_box(editor, (1440, 863), EDITOR_CROSS)  # the text is unchanged: no question
        menu = self.assert_on(screen, MENU)
        click_box(menu, MENU_SIZE, AI)
        self.assertTrue(wait_for(lambda: folder.read("AiMade.une") == b"1\r\n", 5), "the AI tile asks for the AI")

        def editor_after_answers():  # where the model cannot run, the editor says so first
            if windows(PROGRAM_NAME):
                run("xdotool", "key", "Return")
            return windows(EDITOR) and not windows(PROGRAM_NAME)

        self.assertTrue(wait_for(editor_after_answers, 20, 0.3))

    def test_the_welcome_pop_up_stays_above_the_menu(self):
        with Screen(1920, 1080, 96) as screen:
            self.start(screen)
            wait_window(MENU)
            pop_up = windows(POP_UP)
            self.assertTrue(pop_up, "the pop-up lasts beyond the splash")
            x, y = pop_up[-1].x, pop_up[-1].y

            def seen():  # the blue stripe along its left edge and the dark panel beside it
                row = pixels(x, y + 90, 345, 1)
                return near(row[4], BLUE_STRIPE) and near(row[200], PANEL)

            self.assertTrue(wait_for(seen, 1, 0.02), "the pop-up comes back above the menu at once")
            samples = []
            while windows(POP_UP):
                shown = seen()
                if not shown and windows(POP_UP):
                    self.fail("the menu covers the pop-up while it is still shown")
                samples.append(time.monotonic())
            self.assertGreater(len(samples), 1, "sampled while the pop-up was shown")

    def test_the_pointer_is_a_hand_over_click_areas(self):
        with Screen(1920, 1080, 144) as screen:
            self.start(screen)
            menu = wait_window(MENU)

            def pointer(x, y, unlike):
                """The pointer's picture at x, y of the screen, once it is no longer `unlike`
                and has stayed the same for 50 ms."""
                run("xdotool", "mousemove", "--sync", str(x), str(y))

                def settled():
                    image = cursor_image()
                    time.sleep(0.05)
                    return image != unlike and image == cursor_image() and image

                return wait_for(settled, 3)

            def on_menu(box, unlike):
                x, y = middle(menu, MENU_SIZE, box)
                return pointer(menu.x + x, menu.y + y, unlike)

            outside = pointer(1, screen.height // 2, None)
            arrow = on_menu((40, 400, 10, 10), outside)
            self.assertTrue(arrow, "Wine's own pointer over the menu")
            hands = [on_menu(tile, arrow) for tile in (AI, ABOUT_TILE, EDITOR_TILE, MY_WORKS, SETTINGS)]
            self.assertTrue(all(hands), "another pointer over each tile")
            self.assertEqual(len(set(hands)), 1, "the same pointer over every tile")
            self.assertEqual(on_menu((1100, 500, 10, 10), hands[0]), arrow, "the arrow again beside the tiles")

if __name__ == "__main__":
    unittest.main()
