"""notice: the pop-up of a notification request, topmost at its fixed place for three
seconds with the two texts and the clock; a missing request file gives a message box
and no pop-up."""

import os
import subprocess
import time
import unittest

from harness import (BUILD, ProgramFolder, brightness, ended, run, screenshot, wait_for, wait_no_window,
                     wait_window, windows)

NOTICE = "青石软件_通知"
SPLASH = "Orvane正在启动"
AT = (1111, 732, 345, 99)
# Regions of the panel, in its pixels: the title, the rest of the title row, the body
# text, the clock and a part where nothing is ever drawn.
TITLE = (32, 8, 60, 24)
TITLE_RIGHT = (150, 8, 110, 24)
BODY = (48, 48, 200, 14)
CLOCK = (272, 16, 40, 14)
EMPTY = (20, 76, 300, 20)


def looks(window, region):
    return brightness(window, *region)


def pixels(window, region):
    """The raw RGB bytes of a region of the window as it shows on screen."""
    x, y, width, height = region
    crop = f"{width}x{height}+{window.x + x}+{window.y + y}"
    return subprocess.run(["import", "-window", "root", "-crop", crop, "+repage", "rgb:-"],
                          capture_output=True, stdin=subprocess.DEVNULL).stdout


def running(folder, exe):
    """Whether a Wine process of that program of the folder is still alive."""
    listing = run("ps", "-eo", "stat=,args=")
    # A program started under Wine by another shows as its Windows path.
    unix = folder.file(exe)
    windows_path = "Z:" + unix.replace("/", "\\")
    return any((unix in line or windows_path in line) and not line.lstrip().startswith("Z ")
               for line in listing.splitlines())


def painted(window):
    """Waits until the panel is painted (what shows at its place is the dark panel)."""
    return wait_for(lambda: looks(window, EMPTY) < 0.25, 5)


def bracket(condition, timeout):
    """Polls until the condition holds: (the last time it did not, the first time it did).
    A slow poll on a loaded machine widens the bracket but never shifts it, so a time
    measured between two brackets is bounded from both sides."""
    before = time.monotonic()
    until = before + timeout
    while not condition():
        if time.monotonic() > until:
            raise AssertionError("the condition did not come within the time-out")
        before = time.monotonic()
        time.sleep(0.02)
    return before, time.monotonic()


def confirmed(condition):
    """The condition confirmed by a second look: a window that has gone stays gone."""
    return lambda: condition() and (time.sleep(0.05) or condition())


def assert_three_seconds(test, shown, gone):
    """The pop-up was on screen three seconds: at least from the first sight to the last,
    at most from before it came to after it went."""
    test.assertLessEqual(gone[0] - shown[1], 3.0 + 0.3, "on screen longer than three seconds")
    test.assertGreaterEqual(gone[1] - shown[0], 3.0 - 0.3, "on screen shorter than three seconds")


def request(folder, title, text):
    folder.write("title.une", title)
    folder.write("text.une", text)


class NoticeTest(unittest.TestCase):
    def setUp(self):
        self.assertTrue(wait_no_window(NOTICE, 6), "a notice of an earlier test is still on screen")


class FromTheMainProgram(NoticeTest):
    def test_the_welcome_shows_topmost_at_its_place_and_goes_after_three_seconds(self):
        with ProgramFolder(stand_ins=(), state={"themecolors.une": "0\r\n", "bft.une": "0\r\n"}) as folder:
            folder.start()
            shown = bracket(lambda: windows(NOTICE), 15)
            notice = wait_window(NOTICE)
            # The splash lasts under two seconds and the notice three: what needs them
            # running is looked at first, the drawing after.
            self.assertTrue(running(folder, "notice.exe"))
            self.assertTrue(painted(notice), "the dark panel shows")
            # The light splash covers the notice's place; the notice stays above it.
            splash = wait_window(SPLASH)
            self.assertGreater(brightness(splash, 40, 40, 200, 200), 0.8)
            self.assertLess(looks(notice, EMPTY), 0.25, "the notice is above the splash")

            self.assertEqual((notice.x, notice.y, notice.width, notice.height), AT)
            empty = looks(notice, EMPTY)
            for name, region in (("title", TITLE), ("body", BODY), ("clock", CLOCK)):
                self.assertGreater(looks(notice, region), empty + 0.03, f"the {name} is drawn")

            assert_three_seconds(self, shown, bracket(confirmed(lambda: not windows(NOTICE)), 6))
            self.assertTrue(wait_for(lambda: not running(folder, "notice.exe"), 5), "notice ended")


class Requests(NoticeTest):
    def test_two_requests_in_a_row_give_two_pop_ups_the_later_on_top(self):
        with ProgramFolder(stand_ins=()) as folder:
            request(folder, "第一个通知的标题很长很长很长很长\r\n", "第一个\r\n")
            first = folder.start("notice.exe")
            first_shown = bracket(lambda: windows(NOTICE), 15)
            earlier = wait_window(NOTICE)
            self.assertTrue(painted(earlier))
            self.assertGreater(looks(earlier, TITLE_RIGHT), looks(earlier, EMPTY) + 0.03)

            request(folder, "第二个\r\n", "第二个\r\n")
            second = folder.start("notice.exe")
            second_shown = bracket(lambda: len(windows(NOTICE)) == 2, 15)
            both = windows(NOTICE)
            self.assertTrue(both, "both pop-ups are on screen")
            self.assertEqual({(w.x, w.y, w.width, w.height) for w in both}, {AT})
            self.assertNotEqual(both[-1].id, earlier.id, "the later one is on top")
            self.assertTrue(wait_for(lambda: looks(both[-1], TITLE_RIGHT) - looks(both[-1], EMPTY) < 0.02, 5),
                            "the long title of the earlier one is covered")

            assert_three_seconds(self, first_shown, bracket(confirmed(lambda: len(windows(NOTICE)) < 2), 6))
            left = windows(NOTICE)
            self.assertEqual([w.id for w in left], [both[-1].id], "the earlier one goes first, on its own")
            self.assertTrue(ended(first, 5))
            assert_three_seconds(self, second_shown, bracket(confirmed(lambda: not windows(NOTICE)), 6))
            self.assertTrue(ended(second, 5))

    def test_only_the_first_line_of_a_three_line_title_shows(self):
        shown = []
        for title in ("第一行\r\n", "第一行\r\n第二行\r\n第三行\r\n"):
            with ProgramFolder(stand_ins=()) as folder:
                request(folder, title, "正文\r\n")
                folder.start("notice.exe")
                notice = wait_window(NOTICE)
                self.assertTrue(painted(notice))
                shown.append(pixels(notice, (0, 0, 260, 99)))
                self.assertEqual(folder.read("title.une"), title.encode("gbk"), "notice changes no file")
        self.assertEqual(shown[0], shown[1])

    def test_a_missing_text_file_gives_a_message_box_and_no_pop_up(self):
        with ProgramFolder(stand_ins=()) as folder:
            folder.write("title.une", "标题\r\n")
            folder.remove("text.une")
            before = sorted(os.listdir(folder.path))
            process = folder.start("notice.exe")
            box = wait_window("notice")
            screenshot(os.path.join(screens(), "notice_missing_text.png"), box)
            self.assertEqual(windows(NOTICE), [])
            run("xdotool", "key", "Return")
            self.assertTrue(ended(process, 10))
            self.assertEqual(windows(NOTICE), [])
            self.assertEqual(sorted(os.listdir(folder.path)), before, "notice writes no file")
            self.assertEqual(folder.read("title.une"), "标题\r\n".encode("gbk"))


def screens():
    out = os.path.join(BUILD, "screens")
    os.makedirs(out, exist_ok=True)
    return out


class Screens(NoticeTest):
    """Leaves screenshots in build/screens for a person to look at."""

    def test_screenshots(self):
        cases = {
            "notice_welcome": ("欢迎\r\n", "Orvane正在启动\r\n"),
            "notice_long": ("一个很长很长的通知标题，长得超出了通知窗口的右边缘还要再长一些\r\n",
                            "这是一段很长的通知正文，用来看它在自己的框里怎样折行：超出框的部分不显示。"
                            "Orvane 会在这里告诉您生成的结果、设置是否成功，以及请您稍等的原因。"
                            "第四行和更后面的文字都应该被截掉，不会画到窗口的下边缘外面去。\r\n"),
        }
        for name, (title, text) in cases.items():
            with ProgramFolder(stand_ins=()) as folder:
                request(folder, title, text)
                folder.start("notice.exe")
                screenshot(os.path.join(screens(), name + ".png"), wait_window(NOTICE))


if __name__ == "__main__":
    unittest.main()
