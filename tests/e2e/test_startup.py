"""Starting the program: the splash in the theme of themecolors.une, the welcome
notification handed to notice.exe, and the error window when notice.exe is missing."""

import unittest

import layouts
from harness import ProgramFolder, brightness, click, ended, screenshot, wait_no_window, wait_window, windows

SPLASH = "Orvane正在启动"
ERROR = "出错了"


class Splash(unittest.TestCase):
    def test_light_splash_posts_the_welcome_and_starts_notice(self):
        with ProgramFolder(state={"themecolors.une": "0\r\n", "bft.une": "0\r\n"}) as folder:
            folder.start()
            splash = wait_window(SPLASH)
            self.assertEqual((splash.width, splash.height), (1180, 654))
            self.assertGreater(brightness(splash, 10, 10, 80, 80), 0.8, "the pale artwork shows")
            self.assertEqual(folder.read("title.une"), "欢迎\r\n".encode("gbk"))
            self.assertEqual(folder.read("text.une"), "Orvane正在启动\r\n".encode("gbk"))
            started = folder.wait_started(1)
            self.assertTrue(started, "notice.exe was not started")
            self.assertEqual(started[0][0], "notice.exe")
            self.assertEqual(started[0][1], '"' + started[0][2] + '\\notice.exe"', "by full path, no arguments")
            self.assertTrue(wait_no_window(SPLASH, 6), "the splash routes on after about 1.9 s")

    def test_dark_splash(self):
        with ProgramFolder(state={"themecolors.une": "Text2\r\n"}) as folder:
            folder.start()
            splash = wait_window(SPLASH)
            self.assertLess(brightness(splash, 10, 10, 80, 80), 0.3, "the dark artwork shows")

    def test_without_notice_only_the_error_window_shows_and_ok_ends_the_program(self):
        with ProgramFolder(stand_ins=(), missing=("notice.exe",)) as folder:
            program = folder.start()
            error = wait_window(ERROR)
            self.assertEqual((error.width, error.height), (514, 289))
            self.assertEqual(windows(SPLASH), [])
            click(error, 40, 40)  # the artwork outside the button does nothing
            self.assertFalse(ended(program, 1.5))
            self.assertTrue(windows(ERROR))
            click(error, *layouts.middle(layouts.ERROR["Image2"]))
            self.assertTrue(ended(program, 10), "好的 ends the program")
            self.assertEqual(windows(ERROR), [])

    def test_a_folder_named_notice_counts_as_missing(self):
        with ProgramFolder(stand_ins=(), missing=("notice.exe",)) as folder:
            import os
            os.mkdir(folder.file("notice.exe"))
            folder.start()
            wait_window(ERROR)
            self.assertEqual(windows(SPLASH), [])


class Screens(unittest.TestCase):
    """Leaves screenshots in build/screens for a person to look at."""

    def test_screenshots(self):
        import os
        from harness import BUILD
        out = os.path.join(BUILD, "screens")
        os.makedirs(out, exist_ok=True)
        for theme, value in (("light", "0"), ("dark", "1")):
            with ProgramFolder(state={"themecolors.une": value + "\r\n"}) as folder:
                folder.start()
                screenshot(os.path.join(out, f"splash_{theme}.png"), wait_window(SPLASH))
        with ProgramFolder(stand_ins=(), missing=("notice.exe",)) as folder:
            folder.start()
            screenshot(os.path.join(out, "error.png"), wait_window(ERROR))


if __name__ == "__main__":
    unittest.main()
