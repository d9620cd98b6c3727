"""The local account under Wine: the settings tile leads to the login, the login lets
only the stored password through, and the settings change the theme, the account and
the first-run flag as a person clicking them would."""

import os
import unittest

import layouts
from harness import (BUILD, ProgramFolder, brightness, click, ended, run, screenshot, wait_for,
                     wait_no_window, wait_window, windows)
from layouts import middle

MENU = "Orvane"
LOGIN = "登录"
SETTINGS = "Orvane设置"
MESSAGE = "奥文Orvane"  # message boxes without a title of their own carry the program's name

SETTINGS_TILE = middle(layouts.MENU["ImageSET"])
PASSWORD_BOX, LOGIN_BUTTON = middle(layouts.LOGIN_BOXES["Text2"]), middle(layouts.LOGIN["ImageLOGIN"])
DARK_TILE, SAVE, RESET = (middle(layouts.SETTINGS[name]) for name in ("ImageD", "Image3", "Image4"))
NEW_PASSWORD_BOX, CLOSE = middle(layouts.SETTINGS_BOXES["Text2"]), middle(layouts.SETTINGS["ImageU"])


def scrambled(password):
    """PASSWARD.une for an ASCII password: each byte combined with 117, then CR LF."""
    return bytes(b ^ 117 for b in password.encode("gbk")) + b"\r\n"


def screens():
    out = os.path.join(BUILD, "screens")
    os.makedirs(out, exist_ok=True)
    return out


def type_text(text):
    run("xdotool", "type", "--delay", "30", text)


def icon_colour(box):
    """"warning" or "error": the colour of the icon a message box shows."""
    path = screenshot(os.path.join(screens(), "account_message.png"), box)

    def share(condition):
        return float(run("convert", path, "-fx", condition + "?1:0", "-format", "%[fx:mean]", "info:"))

    yellow = share("r>0.78&&g>0.63&&b<0.35")
    red = share("r>0.67&&g<0.35&&b<0.35")
    return "warning" if yellow > red else "error" if red > 0.002 else "none"


class Account(unittest.TestCase):
    def folder(self, **state):
        files = {"bft.une": "1\r\n", "themecolors.une": "0\r\n", "PASSWARD.une": scrambled("Secret")}
        files.update(state)
        return ProgramFolder(state={k: v for k, v in files.items() if v is not None},
                             stand_ins=("notice.exe", "Launcher.exe"))

    def open_login(self, folder, menu=None):
        menu = menu or wait_window(MENU)
        click(menu, *SETTINGS_TILE)
        login = wait_window(LOGIN)
        self.assertEqual((login.width, login.height), (345, 551))
        return menu, login

    def message(self):
        """The message box in front and its icon colour; answered with Return."""
        box = wait_window(MESSAGE)
        colour = icon_colour(box)
        run("xdotool", "key", "Return")
        self.assertTrue(wait_no_window(MESSAGE, 5), "Return answers the message box")
        return colour

    def log_in(self, login, password, clear=False):
        if clear:  # after a message box: into the box, and away with what was typed
            click(login, *PASSWORD_BOX)
            run("xdotool", "key", "End")
            run("xdotool", "key", "--repeat", "12", "BackSpace")
        type_text(password)
        click(login, *LOGIN_BUTTON)

    def test_login_gate_theme_account_and_factory_reset(self):
        with self.folder() as folder:
            program = folder.start()
            menu, login = self.open_login(folder)
            screenshot(os.path.join(screens(), "login_light.png"), login)
            self.assertGreater(brightness(login, 5, 5, 60, 60), 0.8, "the light picture shows")

            # the password box has the focus; Enter does nothing; a wrong password is refused
            # with the warning icon
            type_text("secret")
            run("xdotool", "key", "Return")
            self.assertFalse(wait_for(lambda: windows(MESSAGE) or windows(SETTINGS), 1.5), "Enter logs no one in")
            click(login, *LOGIN_BUTTON)
            self.assertEqual(self.message(), "warning")
            self.assertTrue(windows(LOGIN), "the login stays")

            # the right password: the settings show, the login goes, the menu stays behind
            self.log_in(login, "Secret", clear=True)
            settings = wait_window(SETTINGS)
            self.assertEqual((settings.width, settings.height), (1089, 640))
            self.assertTrue(wait_no_window(LOGIN, 5))
            self.assertTrue(windows(MENU))
            screenshot(os.path.join(screens(), "settings_light.png"), settings)

            # the dark theme: written and announced; the open menu and settings keep their look
            started = len(folder.started())
            click(settings, *DARK_TILE)
            self.assertTrue(wait_for(lambda: folder.read("themecolors.une") == b"1\r\n", 5))
            self.assertTrue(folder.wait_started(started + 1), "notice announces the change")
            self.assertEqual(folder.read("title.une"), "设置成功\r\n".encode("gbk"))
            self.assertEqual(folder.read("text.une"), "已设置为黑暗主题\r\n".encode("gbk"))
            self.assertGreater(brightness(settings, 5, 100, 40, 40), 0.8, "the settings keep their look")
            self.assertGreater(brightness(menu, 10, 300, 60, 60), 0.8, "the menu keeps its look")

            # the login shows dark at its next load
            click(settings, *CLOSE)
            self.assertTrue(wait_no_window(SETTINGS, 5))
            _, login = self.open_login(folder, menu)
            self.assertLess(brightness(login, 5, 5, 60, 60), 0.3, "the dark picture shows")
            screenshot(os.path.join(screens(), "login_dark.png"), login)

            # the account change: the next login asks for the new password
            self.log_in(login, "Secret")
            settings = wait_window(SETTINGS)
            self.assertLess(brightness(settings, 5, 100, 40, 40), 0.3)
            screenshot(os.path.join(screens(), "settings_dark.png"), settings)
            click(settings, *NEW_PASSWORD_BOX)
            type_text("n3w Ux")
            click(settings, *SAVE)
            self.assertTrue(wait_for(lambda: folder.read("PASSWARD.une") == scrambled("n3w Ux"), 5))
            admin = folder.read("admin.une")
            self.assertTrue(admin and admin.endswith(b"\r\n") and len(admin) > 2, "the system user's name")
            self.assertEqual(folder.read("text.une"), "已更新您的用户名以及密码\r\n".encode("gbk"))
            self.assertEqual(windows(MESSAGE), [])
            click(settings, *CLOSE)
            self.assertTrue(wait_no_window(SETTINGS, 5))
            _, login = self.open_login(folder, menu)
            self.log_in(login, "Secret")
            self.assertEqual(self.message(), "warning", "the old password is refused")
            self.log_in(login, "n3w Ux", clear=True)
            settings = wait_window(SETTINGS)

            # the factory reset: Text4, Launcher started, the program ends at once
            started = len(folder.started())
            click(settings, *RESET)
            self.assertTrue(ended(program, 10), "the program ends")
            self.assertEqual(folder.read("bft.une"), b"Text4\r\n")
            entries = folder.wait_started(started + 1)
            self.assertTrue(entries)
            self.assertEqual(entries[-1][0], "Launcher.exe")
            self.assertEqual(folder.read("themecolors.une"), b"1\r\n", "the theme stays")
            self.assertEqual(folder.read("PASSWARD.une"), scrambled("n3w Ux"), "the account stays")
            self.assertEqual(windows(MENU) + windows(SETTINGS), [])

    def test_without_the_password_file_the_login_says_so_and_stays(self):
        with self.folder(**{"PASSWARD.une": None}) as folder:
            folder.remove("PASSWARD.une")
            folder.start()
            _, login = self.open_login(folder)
            click(login, *LOGIN_BUTTON)
            box = wait_window(MESSAGE)
            screenshot(os.path.join(screens(), "login_no_password_file.png"), box)
            self.assertEqual(self.message(), "error")
            self.assertTrue(windows(LOGIN))
            self.assertEqual(windows(SETTINGS), [])


if __name__ == "__main__":
    unittest.main()
