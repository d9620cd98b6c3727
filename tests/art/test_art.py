"""Checks the window pictures in app/art against the click areas the windows
lay over them, and that tools/art/make_art.py reproduces them exactly.

    /usr/bin/python3 -m unittest discover -s tests/art
"""

import math
import os
import re
import statistics
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from PIL import Image, ImageChops
from PIL.IcoImagePlugin import IcoFile

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import layouts  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
ART = ROOT / "app" / "art"
GENERATOR = ROOT / "tools" / "art" / "make_art.py"

PICTURES = {  # name: (size, mode)
    "splash_light.png": ((1180, 654), "RGB"),
    "splash_dark.png": ((1180, 654), "RGB"),
    "menu_light.png": ((1286, 748), "RGB"),
    "menu_dark.png": ((1286, 748), "RGB"),
    "error.png": ((514, 289), "RGB"),
    "notice.png": ((345, 99), "RGB"),
    "about.png": ((861, 615), "RGB"),
    "editor_light.png": ((1440, 868), "RGB"),
    "editor_dark.png": ((1440, 868), "RGB"),
    "logo.png": ((256, 256), "RGBA"),
    "login_light.png": ((345, 551), "RGB"),
    "login_dark.png": ((345, 551), "RGB"),
    "settings_light.png": ((1089, 640), "RGB"),
    "settings_dark.png": ((1089, 640), "RGB"),
}

# The windows' own click areas, as their layout tables lay them.
MENU_AREAS = list(layouts.MENU.values())
EDITOR_AREAS = list(layouts.EDITOR.values())
CLICK_AREAS = {  # name: (click areas x, y, w, h; a patch of plain background)
    "menu_light.png": (MENU_AREAS, (1180, 400, 40, 40)),
    "menu_dark.png": (MENU_AREAS, (1180, 400, 40, 40)),
    "error.png": (list(layouts.ERROR.values()), (420, 220, 40, 30)),
    "about.png": (list(layouts.ABOUT.values()), (600, 30, 40, 30)),
    "editor_light.png": (EDITOR_AREAS, (900, 30, 40, 40)),
    "editor_dark.png": (EDITOR_AREAS, (900, 30, 40, 40)),
}
for theme in ("light", "dark"):
    CLICK_AREAS[f"login_{theme}.png"] = (list(layouts.LOGIN.values()), (10, 420, 30, 30))
    CLICK_AREAS[f"settings_{theme}.png"] = (list(layouts.SETTINGS.values()), (660, 380, 40, 40))
TEXT_BOXES = {"login": list(layouts.LOGIN_BOXES.values()), "settings": list(layouts.SETTINGS_BOXES.values())}
THRESHOLD = 10  # mean absolute difference per channel, 0..255

# The welcome window and the four setup steps; every step has its × at the top right.
SETUP_STEPS = ("setup_python.png", "setup_theme.png", "setup_account.png", "setup_done.png")
SETUP_AREAS = {"welcome.png": list(layouts.WELCOME.values())}
for _name, _areas in zip(SETUP_STEPS, (layouts.STEP_PYTHON, layouts.STEP_THEME, layouts.STEP_ACCOUNT,
                                       layouts.STEP_DONE)):
    SETUP_AREAS[_name] = list(_areas.values())
SETUP_BUTTONS = {layouts.STEP_DONE["Image3"]: layouts.STEP_THEME["Image5"]}  # click area: the drawn button
SETUP_TEXT_BOXES = list(layouts.STEP_ACCOUNT_BOXES.values())  # user name, password
PICTURES["welcome.png"] = ((787, 443), "RGB")
for _name in SETUP_STEPS:
    PICTURES[_name] = ((1150, 660), "RGB")
for _name, _areas in SETUP_AREAS.items():
    CLICK_AREAS[_name] = (_areas, (40, 200, 40, 40) if _name == "welcome.png" else (1000, 110, 40, 40))

# Every window picture at 2x, the most seen also at 1.5x, for screens of higher density.
SCALED = {}  # name of the scaled file: (name at 1x, scale)
for _name, ((_w, _h), _mode) in list(PICTURES.items()):
    if _name == "logo.png":
        continue
    for _scale, _suffix in ((1.5, "@1.5x"), (2, "@2x")):
        if _scale == 1.5 and not _name.startswith(("splash_", "menu_", "editor_")):
            continue
        SCALED[_name.replace(".png", _suffix + ".png")] = (_name, _scale)
        PICTURES[_name.replace(".png", _suffix + ".png")] = ((math.ceil(_w * _scale), math.ceil(_h * _scale)), _mode)


def contrast(im, rect, gap=4):
    """How far the pixels inside rect lie from the background around it: the
    median colour of a one-pixel ring gap pixels outside rect."""
    x, y, w, h = rect
    ring = [(i, j) for i in range(x - gap, x + w + gap) for j in (y - gap, y + h + gap - 1)]
    ring += [(i, j) for j in range(y - gap, y + h + gap) for i in (x - gap, x + w + gap - 1)]
    ring = [im.getpixel(p) for p in ring if 0 <= p[0] < im.width and 0 <= p[1] < im.height]
    bg = [statistics.median(p[c] for p in ring) for c in range(3)]
    inside = im.crop((x, y, x + w, y + h)).getdata()
    return sum(abs(p[c] - bg[c]) for p in inside for c in range(3)) / (w * h * 3)


def mean_grey(im):
    return sum(im.convert("L").getdata()) / (im.width * im.height)


class CommittedPictures(unittest.TestCase):
    def test_sizes_and_modes(self):
        for name, (size, mode) in PICTURES.items():
            with self.subTest(name), Image.open(ART / name) as im:
                self.assertEqual((im.format, im.size, im.mode), ("PNG", size, mode))
        with Image.open(ART / "orvane.ico") as ico:
            self.assertEqual(ico.info["sizes"], {(s, s) for s in (16, 24, 32, 48, 64, 256)})
        # the installer's welcome and finish pages take a 24-bit BMP
        for name, size in (("installer.bmp", (164, 314)), ("installer@2x.bmp", (328, 628))):
            with self.subTest(name), Image.open(ART / name) as im:
                self.assertEqual((im.format, im.size, im.mode), ("BMP", size, "RGB"))

    def test_buttons_drawn_under_click_areas(self):
        for name, (areas, plain) in CLICK_AREAS.items():
            with Image.open(ART / name) as im:
                self.assertLess(contrast(im, plain), THRESHOLD / 2, f"{name}: background not plain")
                for rect in areas:
                    with self.subTest(name, rect=rect):
                        self.assertGreater(contrast(im, rect), THRESHOLD)

    def test_themes_are_light_and_dark(self):
        for kind in ("splash", "menu", "login", "settings"):
            with Image.open(ART / f"{kind}_light.png") as light, Image.open(ART / f"{kind}_dark.png") as dark:
                self.assertGreater(mean_grey(light), 170, kind)
                self.assertLess(mean_grey(dark), 90, kind)

    def test_footer_links_lie_inside_their_click_areas(self):
        links = [layouts.MENU["ImageYHXY"], layouts.MENU["ImageYSZC"]]
        for name in ("menu_light.png", "menu_dark.png"):
            with Image.open(ART / name) as im:
                # link text is the only markedly blue ink on the footer line
                blue = {(x, y) for x in range(im.width) for y in range(700, 748)
                        if (lambda p: p[2] - p[0] > 70)(im.getpixel((x, y)))}
                links_meet_across_the_gap(self, name, im, blue, links)

    def test_text_boxes_lie_in_white_frames(self):
        for kind, boxes in TEXT_BOXES.items():
            for theme in ("light", "dark"):
                with Image.open(ART / f"{kind}_{theme}.png") as im:
                    grey = im.convert("L")
                    for x, y, w, h in boxes:
                        with self.subTest(kind, theme=theme, box=(x, y)):
                            edge = [(i, j) for i in range(x, x + w) for j in (y, y + h - 1)]
                            edge += [(i, j) for j in range(y, y + h) for i in (x, x + w - 1)]
                            self.assertGreater(min(grey.getpixel(p) for p in edge), 235, "box edge not on white")
                            # the frame's border lies close around the box on every side
                            mx, my = x + w // 2, y + h // 2
                            for step in ((-1, 0), (1, 0), (0, -1), (0, 1)):
                                sx, sy = (x - 1 if step[0] < 0 else x + w if step[0] else mx,
                                          y - 1 if step[1] < 0 else y + h if step[1] else my)
                                ray = [grey.getpixel((sx + step[0] * k, sy + step[1] * k)) for k in range(20)]
                                self.assertLess(min(ray), 230, f"no frame border towards {step}")

    def test_settings_links_lie_inside_their_click_areas(self):
        links = [layouts.SETTINGS["Image5"], layouts.SETTINGS["Image6"]]
        for name in ("settings_light.png", "settings_dark.png"):
            with Image.open(ART / name) as im:
                blue = {(x, y) for x in range(0, 740) for y in range(590, 640)
                        if (lambda p: p[2] - p[0] > 70)(im.getpixel((x, y)))}
                links_meet_across_the_gap(self, name, im, blue, links)

    def test_small_menu_tiles_stand_level_and_alike(self):
        """编辑器, 我的作品 and 设置: one top, one bottom and one width, whatever their
        click areas (the settings area starts 8 px higher and is 8 px wider)."""
        areas = [layouts.MENU[name] for name in ("ImageEDITOR", "ImageWDZP", "ImageSET")]
        for name in ("menu_light.png", "menu_dark.png"):
            with Image.open(ART / name) as im:
                boxes = [drawn_box(im, area, at=(96, 150)) for area in areas]
                with self.subTest(name, boxes=boxes):
                    for (left, top, right, bottom), (x, y, w, h) in zip(boxes, areas):
                        self.assertTrue(x <= left and right <= x + w and y <= top and bottom <= y + h)
                    self.assertLessEqual(max(b[1] for b in boxes) - min(b[1] for b in boxes), 1)
                    self.assertLessEqual(max(b[3] for b in boxes) - min(b[3] for b in boxes), 1)
                    widths = [right - left for left, _, right, _ in boxes]
                    self.assertLessEqual(max(widths) - min(widths), 1)

    def test_error_button_label_centred(self):
        with Image.open(ART / "error.png") as im:
            x, y, w, h = 184 + 12, 208, 153 - 24, 41  # clear of the rounded corners
            white = im.crop((x, y, x + w, y + h)).convert("L").point(lambda v: 255 if v > 235 else 0)
            left, top, right, bottom = white.getbbox()
            self.assertAlmostEqual((left + right) / 2, w / 2, delta=2)
            self.assertAlmostEqual((top + bottom) / 2, h / 2, delta=2)

    def test_icon_entries_decode_upright_with_transparent_corners(self):
        with open(ART / "orvane.ico", "rb") as f:
            ico = IcoFile(f)
            for size in sorted(ico.sizes()):
                with self.subTest(size=size):
                    im = ico.getimage(size).convert("RGBA")
                    n = size[0]
                    self.assertEqual(im.size, size)
                    self.assertEqual(im.getpixel((0, 0))[3], 0)
                    self.assertEqual(im.getpixel((n // 8, n // 2))[3], 255)
                    # the square runs from violet at the top left to blue at the bottom right
                    tl, br = im.getpixel((n // 5, n // 5)), im.getpixel((n - 1 - n // 5, n - 1 - n // 5))
                    self.assertGreater(tl[0] - tl[2], br[0] - br[2])

    def test_small_icon_is_drawn_on_the_pixel_grid(self):
        """The 16-pixel notes are whole pixels of white (or half, at the heads' rounding),
        not the large notes shrunk into a blur: on the square (green below 150) each pixel
        is ground, half ink (about 190) or ink (255)."""
        with open(ART / "orvane.ico", "rb") as f:
            im = IcoFile(f).getimage((16, 16)).convert("RGB")
        greens = [im.getpixel((x, y))[1] for y in range(3, 13) for x in range(3, 13)]
        self.assertGreater(greens.count(255), 30)
        self.assertEqual([g for g in greens if 150 <= g < 180 or 200 <= g < 255], [])

    def test_notice_colours(self):
        with Image.open(ART / "notice.png") as im:
            self.assertEqual(im.crop((0, 0, 11, 99)).getcolors(), [(11 * 99, (63, 133, 225))])
            self.assertEqual(im.crop((11, 0, 345, 99)).getcolors(), [(334 * 99, (33, 38, 39))])


class EditorPictures(unittest.TestCase):
    def test_each_button_fills_its_click_area_and_ends_at_its_edges(self):
        """Just inside each drawn button (clear of the rounded corners) lies the button,
        just outside it the plain panel or bar; the buttons of the left panel are one size,
        the largest that every click area holds."""
        buttons = [(24, 124, 265, 65), (24, 216, 265, 65), (24, 308, 265, 65), (24, 400, 265, 65),
                   (24, 492, 265, 65), (1392, 24, 25, 25)]
        for name in ("editor_light.png", "editor_dark.png"):
            with Image.open(ART / name) as im:
                for area, button in zip(EDITOR_AREAS[:5], buttons):
                    left, top, right, bottom = drawn_box(im, area, at=(50, 36))
                    with self.subTest(name, area=area):
                        x, y, w, h = button
                        self.assertEqual((left, top, right, bottom), (x, y, x + w, y + h))
                for x, y, w, h in buttons:
                    ground = im.getpixel((x - 6, y + h // 2))
                    for px, py in ((x + w // 2, y + 2), (x + w // 2, y + h - 3), (x + 2, y + h // 2),
                                   (x + w - 3, y + h // 2), (x + w // 2, y + h // 2)):
                        with self.subTest(name, area=(x, y), point=(px, py)):
                            inside = im.getpixel((px, py))
                            self.assertGreater(sum(abs(a - b) for a, b in zip(inside, ground)), 15)
                    # clear of the soft shadows under the coloured buttons
                    for px, py in ((x + w // 2, y - 9), (x + w // 2, y + h + 9), (x + w + 9, y + h // 2)):
                        with self.subTest(name, area=(x, y), outside=(px, py)):
                            self.assertLess(sum(abs(a - b) for a, b in zip(im.getpixel((px, py)), ground)), 25)

    def test_the_continue_button_fills_the_left_half_of_its_row(self):
        """AI续写 lies under its click area at every scale, in the AI button's violet, with
        the panel plain beside it where the row's other half begins."""
        x, y, w, h = layouts.EDITOR["ImageAIXX"]
        for theme in ("light", "dark"):
            for suffix, scale in (("", 1), ("@1.5x", 1.5), ("@2x", 2)):
                name = f"editor_{theme}{suffix}.png"
                with self.subTest(name), Image.open(ART / name) as im:
                    if scale == 1:
                        self.assertEqual(drawn_box(im, (x, y, w, h), at=(40, 24)), (x, y, x + w, y + h))
                    at = lambda px, py: im.getpixel((round(px * scale), round(py * scale)))
                    left, right = at(x + 4, y + h // 2), at(x + w - 4, y + h // 2)
                    self.assertGreater(left[2], left[1] + 60, "violet at the left")
                    self.assertGreater(right[2], right[0] + 60, "blue at the right")
                    ground = at(x - 10, y + h // 2)
                    self.assertLess(distance(at(x + w + 6, y + h // 2), ground), 25, "plain beside it")

    def test_midi_key_fills_its_click_area_with_its_label_in_both_themes_at_every_scale(self):
        x, y, w, h = layouts.EDITOR["ImageMIDI"]
        for theme in ("light", "dark"):
            for suffix, scale in (("", 1), ("@1.5x", 1.5), ("@2x", 2)):
                with Image.open(ART / f"editor_{theme}{suffix}.png") as im:
                    area = tuple(round(v * scale) for v in (x, y, w, h))
                    sx, sy, sw, sh = area
                    # clear of corners and label; AI续写 lies 9 px to the left, out of the reach
                    box = drawn_box(im, area, at=(sw - round(14 * scale), sh // 2), reach=8)
                    with self.subTest(theme, scale=scale):
                        # edges at half pixels (1.5x) blur over one more
                        for found, edge in zip(box, (x * scale, y * scale, (x + w) * scale, (y + h) * scale)):
                            self.assertLessEqual(abs(found - edge), scale, box)
                        # the name and the shortcut: ink right of the glyph, clear of the edges
                        fill = im.getpixel((sx + round(4 * scale), sy + sh // 2))
                        label = im.crop((sx + round(40 * scale), sy + round(6 * scale), sx + sw - round(4 * scale),
                                         sy + sh - round(6 * scale)))
                        ink = sum(1 for p in label.getdata() if distance(p, fill) > 60)
                        self.assertGreater(ink, 0.08 * label.width * label.height)

    def test_text_area_is_plain_in_the_text_box_colours(self):
        for name, code, gutter in (("editor_light.png", (255, 255, 255), (224, 224, 224)),
                                   ("editor_dark.png", (0, 0, 0), (0, 0, 0))):
            with Image.open(ART / name) as im:
                self.assertEqual(im.crop((430, 130, 1400, 780)).getcolors(), [(970 * 650, code)], name)
                self.assertEqual(im.crop((400, 130, 424, 780)).getcolors(), [(24 * 650, gutter)], name)
                self.assertGreater(mean_grey(im), 170) if code[0] else self.assertLess(mean_grey(im), 90)


class Scales(unittest.TestCase):
    def test_each_scale_shows_the_same_picture(self):
        """Shrunk to 1x, the 1.5x and 2x pictures match the 1x one: nothing moved,
        nothing missing; only the edges are finer."""
        for name, (base, scale) in SCALED.items():
            with self.subTest(name), Image.open(ART / name) as big, Image.open(ART / base) as small:
                shrunk = big.resize(small.size, Image.BOX)
                difference = ImageChops.difference(shrunk.convert("RGB"), small.convert("RGB"))
                mean = sum(statistics.mean(band.getdata()) for band in difference.split()) / 3
                self.assertLess(mean, 3, "the scaled picture differs from the 1x one")
                # and no region differs markedly (a caption left at its old place); bold text
                # and hinting differ a little between scales
                worst = max(difference.convert("L").resize((16, 16), Image.BOX).getdata())
                self.assertLess(worst, 40)


class Generator(unittest.TestCase):
    def test_runs_reproduce_committed_files(self):
        """Twice at 1x, or with ORVANE_FULL_ART=1 once at every scale (a minute of work)."""
        full = os.environ.get("ORVANE_FULL_ART") == "1"
        env = dict(os.environ)
        if not full:
            env["ORVANE_ART_SCALE"] = "1"
        with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
            runs = []
            for out in (a,) if full else (a, b):
                subprocess.run([sys.executable, str(GENERATOR), out], check=True, env=env)
                runs.append({p.name: p.read_bytes() for p in Path(out).iterdir()})
        expected = [n for n in PICTURES if full or n not in SCALED] + ["orvane.ico", "installer.bmp"]
        expected += [n.replace(".png", ".runs") for n in expected if n.startswith("splash_")]
        self.assertEqual(sorted(runs[0]), sorted(expected + (["installer@2x.bmp"] if full else [])))
        self.assertEqual(runs[0], runs[-1])
        for name, data in runs[0].items():
            with self.subTest(name):
                self.assertEqual((ART / name).read_bytes(), data, "app/art is out of date")


def drawn_box(im, area, at, reach=12):
    """Left, top, right and bottom (exclusive) of the drawn shape around a click area, each
    the place within reach of the area's edge where the colour changes most: found along
    the column at[0] from the left and the row at[1] from the top, clear of labels."""
    x, y, w, h = area

    def jump(points):
        pixels = [im.getpixel(p) for p in points]
        steps = [distance(a, b) for a, b in zip(pixels, pixels[1:])]
        return steps.index(max(steps)) + 1

    column = [(x + at[0], j) for j in range(y - reach, y + h + reach)]
    row = [(i, y + at[1]) for i in range(x - reach, x + w + reach)]
    top = y - reach + jump(column[:2 * reach])
    bottom = y + h - reach + jump(column[-2 * reach:])
    left = x - reach + jump(row[:2 * reach])
    right = x + w - reach + jump(row[-2 * reach:])
    return left, top, right, bottom


def links_meet_across_the_gap(test, name, im, blue, links):
    """Each link's blue ink lies inside its click area, long enough to read as the link,
    and reaches the edge that faces the other link: only the mark between them (、 or 和)
    and the room plain type gives it stand in the gap."""
    for x, y, w, h in links:
        inside = [p for p in blue if x <= p[0] < x + w and y <= p[1] < y + h]
        test.assertGreater(max(p[0] for p in inside) - min(p[0] for p in inside), 0.6 * w,
                           f"{name}: link too short for {x}")
        blue -= set(inside)
    test.assertEqual(blue, set(), f"{name}: link ink outside the click areas")

    def ink_columns(x, y, w, h):  # any ink, faint edges of thin strokes included
        area = im.crop((x, y, x + w, y + h))
        ground = tuple(statistics.median(p[c] for p in area.getdata()) for c in range(3))
        return [x + i for i in range(w) if any(distance(area.getpixel((i, j)), ground) > 24 for j in range(h))]

    (ax, ay, aw, ah), (px, py, pw, ph) = links
    test.assertGreaterEqual(max(ink_columns(ax, ay, aw, ah)), ax + aw - 3, f"{name}: room after the first link")
    test.assertLessEqual(min(ink_columns(px, py, pw, ph)), px + 2, f"{name}: room before the second link")


def ring(im, rect, gap):
    x, y, w, h = rect
    points = [(i, j) for i in range(x - gap, x + w + gap) for j in (y - gap, y + h + gap - 1)]
    points += [(i, j) for j in range(y - gap, y + h + gap) for i in (x - gap, x + w + gap - 1)]
    return [im.getpixel(p) for p in points]


def distance(p, q):
    return sum(abs(a - b) for a, b in zip(p[:3], q[:3])) / 3


class SetupPictures(unittest.TestCase):
    def test_buttons_fill_their_click_areas_and_stay_inside(self):
        """Each drawn button fills its click area; the taller area of 下一步 on step 1 and of
        完成 holds a button of the size the other steps draw."""
        for name, areas in SETUP_AREAS.items():
            with Image.open(ART / name) as im:
                for area in areas:
                    rect = SETUP_BUTTONS.get(area, area)
                    x, y, w, h = rect
                    outside = ring(im, rect, 4)
                    bg = tuple(statistics.median(p[c] for p in outside) for c in range(3))
                    with self.subTest(name, rect=rect):
                        # the middle of each edge, just inside the click area, is the button's
                        for side in ((x + w // 4, y + 1, w // 2, 2), (x + w // 4, y + h - 3, w // 2, 2),
                                     (x + 1, y + h // 4, 2, h // 2), (x + w - 3, y + h // 4, 2, h // 2)):
                            strip = im.crop((side[0], side[1], side[0] + side[2], side[1] + side[3])).getdata()
                            self.assertGreater(sum(distance(p, bg) for p in strip) / len(strip), 4, side)
                        # and four pixels outside it the background is back
                        spill = [p for p in outside if distance(p, bg) > 8]
                        self.assertLess(len(spill), 0.05 * len(outside))

    def test_bottom_button_is_one_size_on_every_step(self):
        boxes = {}
        for name in SETUP_STEPS:
            with Image.open(ART / name) as im:
                boxes[name] = drawn_box(im, layouts.STEP_THEME["Image5"], at=(14, 12))  # found within 12 px
        self.assertEqual(len(set(boxes.values())), 1, boxes)

    def test_text_boxes_lie_in_input_frames(self):
        with Image.open(ART / "setup_account.png") as im:
            grey = im.convert("L")
            for x, y, w, h in SETUP_TEXT_BOXES:
                with self.subTest(box=(x, y)):
                    # the borderless white box melts into the white inside of its frame
                    inside = grey.crop((x - 2, y - 2, x + w + 2, y + h + 2)).getdata()
                    self.assertGreater(min(inside), 245)
                    mx, my = x + w // 2, y + h // 2
                    for (sx, sy), (dx, dy) in (((x - 3, my), (-1, 0)), ((x + w + 2, my), (1, 0)),
                                               ((mx, y - 3), (0, -1)), ((mx, y + h + 2), (0, 1))):
                        border = [grey.getpixel((sx + dx * k, sy + dy * k)) for k in range(16)]
                        self.assertLess(min(border), 225, f"no frame border towards {dx, dy}")

    def test_steps_share_panel_heading_and_close_mark(self):
        crops = []
        for name in SETUP_STEPS:
            with Image.open(ART / name) as im:
                self.assertGreater(im.getpixel((20, 600))[2] - im.getpixel((20, 600))[0], 60, "blue panel")
                self.assertEqual(im.getpixel((360, 20)), (255, 255, 255), "white right part")
                crops.append(im.crop((0, 0, 1150, 120)).tobytes())
        self.assertEqual(len(set(crops)), 1, "the top of the four steps differs")


class CopyrightYear(unittest.TestCase):
    def test_pictures_version_resources_and_installer_name_one_year(self):
        """The year the pictures draw is the one the version resources and the installer
        state: a new year set in one place alone fails here."""
        sys.path.insert(0, str(GENERATOR.parent))
        import art_kit  # noqa: E402
        resources = (ROOT / "cmake" / "resources.cmake").read_text(encoding="utf-8")
        installer = (ROOT / "tools" / "installer" / "Orvane.nsi").read_text(encoding="utf-8")
        self.assertEqual(re.findall(r"set\(ORVANE_YEAR (\d+)\)", resources), [art_kit.YEAR])
        self.assertEqual(re.findall(r"© (\d{4})", installer), [art_kit.YEAR])
        generator = "".join(p.read_text(encoding="utf-8") for p in GENERATOR.parent.glob("*.py"))
        self.assertEqual(re.findall(r'"[^"\n]*\b20\d\d\b[^"\n]*"', generator), [f'"{art_kit.YEAR}"'],
                         "the pictures draw no year but art_kit.YEAR")


if __name__ == "__main__":
    unittest.main()
