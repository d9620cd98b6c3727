"""The main menu: reached from the splash when the first-run flag is 1, in the theme of
themecolors.une; each tile and footer link clicked where the artwork draws it; the
output folder on the prefix's drive C: opened in the file explorer, or the error
message when it cannot be made; one window of each kind; the close cross.

The editor tiles close the menu and hand over to the editor; a build without the editor
has no window left after them and ends. The settings tile shows at most one login
window."""

import os
import shutil
import signal
import unittest

import layouts
from harness import (BUILD, ProgramFolder, brightness, click, ended, run, screenshot, wait_for,
                     wait_no_window, wait_window, windows)

MENU = "Orvane"
SPLASH = "Orvane正在启动"
ABOUT = "关于"
AGREEMENT = "Orvane用户协议"
PRIVACY = "Orvane隐私政策"
LOGIN = "登录"
EDITOR_WINDOW = "Orvane编辑器"
PROGRAM_NAME = "奥文Orvane"  # titles message boxes without a title of their own
EXPLORER = "OutputWAV"  # Wine's file explorer titles its window with the folder's name

# The menu's click areas over its drawn tiles: x, y, width, height (pixels of the menu).
AI, ABOUT_TILE, EDITOR = layouts.MENU["ImageAi"], layouts.MENU["ImageABOUT"], layouts.MENU["ImageEDITOR"]
MY_WORKS, SETTINGS, CLOSE = layouts.MENU["ImageWDZP"], layouts.MENU["ImageSET"], layouts.MENU["ImageU"]
AGREEMENT_LINK, PRIVACY_LINK = layouts.MENU["ImageYHXY"], layouts.MENU["ImageYSZC"]

SCREENS = os.path.join(BUILD, "screens")
DRIVE_C = os.path.join(os.environ.get("WINEPREFIX", os.path.join(BUILD, "wineprefix")), "drive_c")
ORVANE = os.path.join(DRIVE_C, "Orvane")


def click_tile(window, tile, corner=False):
    """A click in the middle of the tile, or just inside its far corner."""
    x, y, w, h = tile
    click(window, *((x + w - 4, y + h - 4) if corner else (x + w // 2, y + h // 2)))


def explorers():
    """Process ids of Wine's explorer showing the output folder."""
    found = []
    for line in run("ps", "-eo", "pid=,args=").splitlines():
        pid, _, args = line.strip().partition(" ")
        if args.lower().endswith("explorer.exe c:\\orvane\\outputwav"):
            found.append(int(pid))
    return found


def remove_orvane():
    if os.path.isdir(ORVANE):
        shutil.rmtree(ORVANE)
    elif os.path.lexists(ORVANE):
        os.remove(ORVANE)


class MenuTestCase(unittest.TestCase):
    def open_menu(self, theme="0", **state):
        files = {"bft.une": "1\r\n", "themecolors.une": theme + "\r\n", "AiMade.une": "0\r\n"}
        files.update(state)
        self.folder = ProgramFolder(state=files)
        self.addCleanup(self.folder.close)
        self.program = self.folder.start()
        menu = wait_window(MENU)
        self.assertEqual(windows(SPLASH), [], "the splash is gone once the menu shows")
        return menu


class Navigation(MenuTestCase):
    def test_the_splash_leads_to_the_menu_in_each_theme(self):
        os.makedirs(SCREENS, exist_ok=True)
        for theme, value in (("light", "0"), ("dark", "Text2")):
            with self.subTest(theme):
                menu = self.open_menu(value)
                self.assertEqual((menu.width, menu.height), (1286, 748))
                plain = brightness(menu, 1180, 400, 40, 40)
                if theme == "light":
                    self.assertGreater(plain, 0.8)
                else:
                    self.assertLess(plain, 0.3)
                screenshot(os.path.join(SCREENS, f"menu_{theme}.png"), menu)
                self.folder.close()

    def editor_or_end(self):
        """The editor took the menu's place, or, in a build without it, the program ended."""
        return wait_for(lambda: self.program.poll() is not None or windows(EDITOR_WINDOW), 15)

    def test_the_ai_tile_asks_for_the_ai_and_hands_over_to_the_editor(self):
        menu = self.open_menu()
        click_tile(menu, AI)
        # The editor stores "0" again once it has run the model, seconds later.
        self.assertTrue(wait_for(lambda: self.folder.read("AiMade.une") == b"1\r\n", 5))
        # The menu stays until the editor has loaded, which runs the model first. Without
        # a model in this folder the editor says so in a message box: answer it. What the
        # editor makes of the request is its own test (test_ai).
        def menu_gone():
            if windows(PROGRAM_NAME):
                run("xdotool", "key", "Return")
            return not windows(MENU)
        self.assertTrue(wait_for(menu_gone, 20, 0.5))

    def test_the_editor_tile_hands_over_to_the_editor_and_leaves_the_ai_request(self):
        menu = self.open_menu()
        click_tile(menu, EDITOR, corner=True)
        self.assertTrue(wait_no_window(MENU, 5))
        self.assertTrue(self.editor_or_end())
        self.assertEqual(self.folder.read("AiMade.une"), b"0\r\n")

    def test_clicks_beside_the_tiles_do_nothing(self):
        menu = self.open_menu()
        for x, y in ((100, 100), (452, 400), (664, 400), (876, 400), (700, 310), (1240, 60), (540, 724)):
            click(menu, x, y)
        self.assertFalse(ended(self.program, 1))
        self.assertTrue(windows(MENU))
        self.assertEqual(self.folder.read("AiMade.une"), b"0\r\n")
        for title in (ABOUT, AGREEMENT, PRIVACY, LOGIN, EXPLORER):
            self.assertEqual(windows(title), [], title)

    def test_the_close_cross_ends_the_program_unless_another_window_is_open(self):
        menu = self.open_menu()
        click_tile(menu, AGREEMENT_LINK)
        agreement = wait_window(AGREEMENT)
        click_tile(menu, CLOSE)
        self.assertTrue(wait_no_window(MENU, 5))
        self.assertFalse(ended(self.program, 1), "the agreement window keeps the program running")
        self.assertTrue(windows(AGREEMENT))
        click(agreement, agreement.width - 10, 10)  # the close button of its title bar
        self.assertTrue(ended(self.program, 10), "its last window gone, the program ends")

        menu = self.open_menu()
        click_tile(menu, CLOSE, corner=True)
        self.assertTrue(ended(self.program, 10))
        self.assertEqual(windows(MENU), [])


class Windows(MenuTestCase):
    def test_about_opens_and_its_cross_closes_it(self):
        os.makedirs(SCREENS, exist_ok=True)
        menu = self.open_menu()
        click_tile(menu, ABOUT_TILE)
        about = wait_window(ABOUT)
        self.assertEqual((about.width, about.height), (858, 612))
        screenshot(os.path.join(SCREENS, "about.png"), about)
        click(about, 400, 300)
        click(about, 586, 400)
        self.assertEqual(len(windows(ABOUT)), 1, "only the cross closes it")
        click_tile(about, layouts.ABOUT["ImageU"])
        self.assertTrue(wait_no_window(ABOUT, 5))
        self.assertTrue(windows(MENU), "the menu stays")

    def test_links_and_settings_twice_leave_one_window_each(self):
        os.makedirs(SCREENS, exist_ok=True)
        menu = self.open_menu()
        for link, title, shot in ((AGREEMENT_LINK, AGREEMENT, "agreement.png"),
                                  (PRIVACY_LINK, PRIVACY, "privacy.png")):
            click_tile(menu, link)
            window = wait_window(title)
            self.assertGreaterEqual((window.width, window.height), (721, 478 + 10), "a title bar above the text")
            screenshot(os.path.join(SCREENS, shot), window)
            click_tile(menu, link, corner=True)
            self.assertFalse(wait_for(lambda: len(windows(title)) > 1, 2), title)
            self.assertEqual(len(windows(title)), 1, title)
        click_tile(menu, SETTINGS)
        click_tile(menu, SETTINGS, corner=True)
        self.assertFalse(wait_for(lambda: len(windows(LOGIN)) > 1, 2))
        self.assertTrue(windows(MENU), "the menu stays under the windows it opened")

    def test_closing_one_information_window_leaves_the_other_within_reach(self):
        menu = self.open_menu()
        click_tile(menu, AGREEMENT_LINK)
        agreement = wait_window(AGREEMENT)
        click_tile(menu, PRIVACY_LINK)
        privacy = wait_window(PRIVACY)
        click(privacy, privacy.width - 10, 10)  # the close button of its title bar
        self.assertTrue(wait_no_window(PRIVACY, 5))
        # The agreement is still above the menu: its own close button answers a click.
        click(agreement, agreement.width - 10, 10)
        self.assertTrue(wait_no_window(AGREEMENT, 5), "the agreement went behind the menu")
        self.assertTrue(windows(MENU))


class MyWorks(MenuTestCase):
    def setUp(self):
        remove_orvane()
        self.addCleanup(remove_orvane)
        self.addCleanup(self.close_explorers)

    def close_explorers(self):
        for pid in explorers():
            os.kill(pid, signal.SIGTERM)
        wait_no_window(EXPLORER, 5)

    def test_makes_the_output_folder_and_opens_it_in_the_explorer(self):
        menu = self.open_menu()
        click_tile(menu, MY_WORKS)
        wait_window(EXPLORER)
        self.assertTrue(os.path.isdir(os.path.join(ORVANE, "OutputWAV")))
        self.assertEqual(len(explorers()), 1, "explorer.exe of the Windows folder, given the output folder")
        self.assertTrue(windows(MENU), "the menu stays")
        self.assertFalse(windows(PROGRAM_NAME), "no error")

    def test_orvane_being_a_file_shows_the_error_and_the_menu_stays(self):
        with open(ORVANE, "wb") as f:
            f.write(b"not a folder")
        menu = self.open_menu()
        click_tile(menu, MY_WORKS)
        box = wait_window(PROGRAM_NAME, 5)
        os.makedirs(SCREENS, exist_ok=True)
        screenshot(os.path.join(SCREENS, "my_works_error.png"), box)
        run("xdotool", "key", "Return")
        self.assertTrue(wait_no_window(PROGRAM_NAME, 5), "OK closes the message")
        self.assertTrue(windows(MENU))
        self.assertFalse(ended(self.program, 0.5))
        self.assertTrue(os.path.isfile(ORVANE))
        self.assertEqual(explorers(), [])
        self.assertEqual(windows(EXPLORER), [])


if __name__ == "__main__":
    unittest.main()
