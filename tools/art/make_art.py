#!/usr/bin/python3
"""Draws every window picture of 奥文Orvane and the program icon.

    /usr/bin/python3 tools/art/make_art.py [output folder]      (default: app/art)

Needs Debian's Pillow (python3-pil) and the WenQuanYi Zen Hei font
(fonts-wqy-zenhei). The output is byte-for-byte the same on every run: shapes
are drawn several times larger and box-filtered down, text is drawn afterwards at
the final size, the pseudo QR codes come from fixed seeds and the PNG files
carry no time stamps. The splash is also written as runs of pixels (name.runs), which
the program draws straight from its file: its first paint waits for no decoder.

Every window picture is drawn at each scale of SCALES, for screens of higher
pixel density: name.png at 1x, name@1.5x.png and name@2x.png. The drawing code
keeps its 1x coordinates; the kit (tools/art/art_kit.py) scales them, so that a
picture shows the same content at every scale. One process draws one scale
(ORVANE_ART_SCALE).

The rectangles marked "click area" are the places where the windows lay their
transparent click areas; the drawn buttons must cover them exactly.
"""

import os
import struct
import subprocess
import sys
from io import BytesIO

from PIL import Image

from art_kit import (AT_ONE_AND_A_HALF, BLUE, MAKER, SCALE, SCALES, SLOGAN, VIOLET, WHITE, YEAR, Canvas, alpha,
                     arrow, between, close_button, glyph_bars, glyph_editor, glyph_folder, glyph_gear, glyph_info,
                     glyph_sparkles, glyph_stone, ink_span, layouts, logo_image, maker_mark, mix, pseudo_qr, put_logo,
                     save_png, save_runs, small_logo_image, text_width, wave_lines)

import account_art  # the login and settings pictures
import editor_art  # the score editor
import installer_art  # the installer's welcome and finish pages
import setup_art  # the welcome window and the setup steps

# --------------------------------------------------------------------------
# Pictures
# --------------------------------------------------------------------------

def draw_splash(dark):
    W, H = 1180, 654
    if dark:
        bg1, bg2 = (44, 28, 78), (20, 13, 40)
        ink, soft, faint = WHITE, (206, 194, 244), (150, 138, 196)
    else:
        bg1, bg2 = (253, 252, 255), (237, 239, 252)
        ink, soft, faint = (34, 30, 64), (96, 92, 134), (140, 138, 170)
    cv = Canvas(W, H, bg1)
    cv.fill_gradient((0, 0, W, H), bg1, bg2, angle=60)
    cv.glow(250, 280, 250, alpha(VIOLET, 0.24 if dark else 0.07), 90)

    # diagonal bars running off the right side, leaning to the left
    lean, top, bottom = 0.5, -20, H + 20
    bars = [  # left edge at mid height, width, colours, opacity
        (560, 8, VIOLET, VIOLET, 0.4),
        (640, 70, VIOLET, mix(VIOLET, BLUE, 0.5), 0.95),
        (734, 22, BLUE, BLUE, 0.9),
        (784, 150, BLUE, VIOLET, 0.88),
        (958, 34, mix(VIOLET, WHITE, 0.3), VIOLET, 0.6),
        (1010, 420, VIOLET, BLUE, 0.95),
        (1000, 6, WHITE, WHITE, 0.5),
    ]
    for x, w, c1, c2, a in bars:
        shift = (bottom - top) * lean / 2
        cv.fill_polygon_gradient([(x + shift, top), (x + shift + w, top), (x - shift + w, bottom),
                                  (x - shift, bottom)], c1, c2, angle=120, opacity=a)

    put_logo(cv, 110, 140, 136, glow=alpha(VIOLET, 0.5 if dark else 0.3))
    cv.text(104, 312, "奥文Orvane", 78, ink, bold=2)
    cv.text(112, 418, SLOGAN, 26, soft, bold=1)
    cv.rect((112, 468, 56, 5), fill=VIOLET, radius=2.5)
    cv.rect((174, 468, 18, 5), fill=BLUE, radius=2.5)
    for i in range(3):
        cv.circle(116 + i * 14, 592, 3.5, fill=alpha(VIOLET if i == 0 else BLUE, 1 - i * 0.3))
    cv.text(160, 592, "正在启动…", 15, faint, anchor="lm")

    cv.text(W - 48, H - 50, YEAR, 44, WHITE, anchor="rs", bold=2)
    name_w = 20 + 8 + text_width(MAKER, 17)
    maker_mark(cv, W - 48 - name_w, H - 40, 20, WHITE)
    cv.text(W - 48, H - 30, MAKER, 17, WHITE, anchor="rm", bold=1)
    return cv.finish()


def draw_error():
    W, H = 514, 289
    red = (232, 72, 85)
    cv = Canvas(W, H, WHITE)
    cv.fill_gradient((0, 0, W, H), WHITE, (245, 246, 250))
    cv.rect((0, 0, W, 5), fill=red)
    cv.rect((0, 0, W, H), outline=(214, 218, 228), width=1)

    cv.glow(88, 96, 44, alpha(red, 0.3), 10)
    cv.circle(88, 92, 42, fill=red)
    cv.cross(88, 92, 15, WHITE, 8)

    cv.text(160, 52, "出错啦", 32, (40, 42, 54), bold=2)
    cv.text(162, 102, "有一个文件似乎被弄丢了", 18, (70, 74, 90), bold=1)
    cv.text(162, 140, "您可以免费重新安装程序，这或许能解决问题", 13, (146, 150, 164))

    button = x, y, w, h = layouts.ERROR["Image2"]  # click area
    cv.shadow(button, 12, 6, alpha(red, 0.35), offset=(0, 4))
    cv.fill_gradient(button, (242, 96, 108), (220, 58, 74), radius=12)
    cv.text(x + w / 2, y + h / 2, "好的", 18, WHITE, anchor="mm", bold=1)
    return cv.finish()


def draw_notice():
    cv = Canvas(345, 99, (33, 38, 39))
    cv.rect((0, 0, 11, 99), fill=(63, 133, 225))
    return cv.finish()


def draw_menu(dark):
    W, H = 1286, 748
    if dark:
        bg1, bg2 = (38, 25, 66), (19, 13, 37)
        ink, soft, faint, link = WHITE, (198, 188, 234), (150, 140, 190), (160, 180, 255)
    else:
        bg1, bg2 = (244, 248, 255), (226, 235, 252)
        ink, soft, faint, link = (28, 36, 64), (90, 102, 136), (126, 136, 162), (44, 110, 214)
    cv = Canvas(W, H, bg1)
    cv.fill_gradient((0, 0, W, H), bg1, bg2, angle=60)
    if dark:
        cv.glow(240, 120, 240, alpha(VIOLET, 0.3), 90)
        cv.glow(1120, 640, 280, alpha(BLUE, 0.2), 100)
    else:
        cv.glow(1150, 90, 260, alpha(BLUE, 0.1), 90)
        cv.glow(160, 700, 240, alpha(VIOLET, 0.07), 90)

    close_button(cv, layouts.MENU["ImageU"], alpha(WHITE, 0.12) if dark else (204, 216, 242), ink)  # click area

    # header: logo, name and slogan, aligned with the left edge of the tiles
    put_logo(cv, 176, 96, 92, glow=alpha(VIOLET, 0.5 if dark else 0.25))
    cv.text(288, 100, "奥文Orvane", 42, ink, bold=2)
    cv.text(290, 158, SLOGAN, 19, soft, bold=1)
    pill = "基于OrvaneX模型"
    pw = text_width(pill, 14) + 38
    cv.rect((1081 - pw, 130, pw, 30), fill=alpha(WHITE, 0.1) if dark else WHITE,
            outline=alpha(WHITE, 0.18) if dark else (206, 220, 244), radius=15)
    cv.circle(1081 - pw + 17, 145, 4, fill=(74, 214, 150))
    cv.text(1081 - pw + 28, 145, pill, 14, soft, anchor="lm")

    def tile(box, c1, c2, highlight=False):
        """The tile body; returns a layer clipped to it for the contents."""
        radius = 18
        if not dark:
            cv.shadow(box, radius, 14, alpha(mix(c1, (20, 50, 150), 0.5), 0.34), offset=(0, 10))
            cv.fill_gradient(box, c1, c2, angle=60, radius=radius)
        elif highlight:
            cv.shadow(box, radius, 22, alpha(VIOLET, 0.4), offset=(0, 8))
            cv.fill_gradient(box, c1, c2, angle=60, radius=radius, opacity=0.62)
            cv.rect(box, outline=alpha(WHITE, 0.24), radius=radius)
        else:
            cv.shadow(box, radius, 16, (8, 4, 20, 110), offset=(0, 10))
            cv.fill_gradient(box, WHITE, mix(WHITE, VIOLET, 0.3), angle=60, radius=radius, opacity=0.1)
            cv.rect(box, outline=alpha(WHITE, 0.16), radius=radius)
        return cv.layer(box, radius=radius)

    def tile_text(ly, h, title, sub, size=28):
        ly.text(26, h - 48 - size * 1.35, title, size, WHITE, bold=2)
        ly.text(27, h - 42, sub, 14, (255, 255, 255, 215))

    # AI创作: the tall tile, over its whole click area
    ly = tile(layouts.MENU["ImageAi"], VIOLET, BLUE, highlight=True)
    ly.circle(240, 30, 110, fill=alpha(WHITE, 0.07))
    wave_lines(ly, (0, 210, 265, 120), alpha(WHITE, 0.16), count=3, width=2)
    ly.rect((26, 26, 92, 30), fill=alpha(WHITE, 0.2), radius=15)
    ly.text(26 + 46, 41, "OrvaneX", 14, WHITE, anchor="mm", bold=1)
    glyph_sparkles(ly, 34, 96, 108, WHITE, None)
    tile_text(ly, 401, "AI创作", "通过OrvaneX模型创作", size=36)
    ly.merge()

    # banner to the about window, over its whole click area
    ly = tile(layouts.MENU["ImageABOUT"], (44, 110, 214), (86, 152, 242))
    wave_lines(ly, (300, 5, 240, 71), alpha(WHITE, 0.13), count=2, width=2)
    glyph_info(ly, 24, 20, 41, WHITE, (58, 124, 224) if not dark else (62, 50, 96))
    ly.text(82, 40.5, "关于 Orvane & " + MAKER, 22, WHITE, anchor="lm", bold=2)
    ly.circle(617 - 44, 40.5, 20, fill=alpha(WHITE, 0.18))
    arrow(ly, 617 - 44, 40.5, 8, WHITE, 2.6)
    ly.merge()

    # editor, works and settings: three tiles of the editor's size, evenly spaced between
    # the edges of the banner, each inside its click area
    x, y, w, h = layouts.MENU["ImageEDITOR"]
    pitch = (layouts.MENU["ImageABOUT"][2] - w) / 2
    small = [
        ((x, y, w, h), (40, 118, 226), (78, 156, 246), "编辑器", "通过编辑器创作音乐",
         (52, 160, 240), glyph_editor),
        ((x + pitch, y, w, h), (30, 130, 212), (68, 172, 240), "我的作品", "打开输出文件夹",
         (36, 186, 186), glyph_folder),
        ((x + 2 * pitch, y, w, h), (66, 104, 216), (100, 140, 240), "设置", "打开Orvane设置",
         (150, 110, 245), glyph_gear),
    ]
    for box, c1, c2, title, sub, accent, glyph in small:
        ly = tile(box, c1, c2)
        w, h = box[2], box[3]
        ly.circle(w - 10, h - 40, 92, fill=alpha(WHITE, 0.06))
        ly.rect((26, 26, 60, 60), fill=alpha(WHITE, 0.22) if not dark else accent, radius=18)
        glyph(ly, 40, 40, 32, WHITE, mix(c1, WHITE, 0.22) if not dark else accent)
        ly.circle(w - 34, 34, 15, fill=alpha(WHITE, 0.16))
        arrow(ly, w - 34, 34, 6, WHITE, 2)
        tile_text(ly, h, title, sub)
        ly.merge()

    # footer: each link lies inside its click area, the ink of the two brackets at the
    # facing edges, and the rest of the line is set around them as close as the areas allow
    (a_x, _, a_w, _), p_x = layouts.MENU["ImageYHXY"], layouts.MENU["ImageYSZC"][0]
    fy, fs = 724.5, 14
    agreement, privacy = "《Orvane用户协议》", "《Orvane隐私政策》"
    before, after = "请遵守", "，基于OrvaneX模型，版本：V1.0.0"
    a_left = a_x + a_w - 1 - ink_span(agreement, fs)[1]
    a_right = a_left + text_width(agreement, fs)
    p_left = p_x - ink_span(privacy, fs)[0]
    p_right = p_left + text_width(privacy, fs)
    cv.text(a_left, fy, before, fs, faint, anchor="rm")
    cv.text(a_left, fy, agreement, fs, link, anchor="lm")
    cv.text(between(a_left + ink_span(agreement, fs)[1], p_x, "、", fs), fy, "、", fs, faint, anchor="lm")
    cv.text(p_left, fy, privacy, fs, link, anchor="lm")
    cv.text(p_right, fy, after, fs, faint, anchor="lm")
    for left, right in ((a_left, a_right), (p_left, p_right)):
        cv.rect((left + 14, fy + 9, right - left - 28, 1), fill=alpha(link, 0.5))
    # the maker's name goes just above: there is no room below the footer
    centre = (a_left - text_width(before, fs) + p_right + text_width(after, fs)) / 2
    name_w = 16 + 6 + text_width(MAKER, 15)
    maker_mark(cv, centre - name_w / 2, 680, 16)
    cv.text(centre - name_w / 2 + 22, 688, MAKER, 15, soft, anchor="lm", bold=1)
    return cv.finish()


def draw_about():
    W, H = 861, 615  # the window shows the top left 858 × 612
    bg1, bg2 = (32, 23, 56), (15, 11, 29)
    ink, soft, faint = WHITE, (198, 190, 228), (130, 122, 162)
    cv = Canvas(W, H, bg1)
    cv.fill_gradient((0, 0, W, H), bg1, bg2, angle=70)
    cv.glow(200, 180, 220, alpha(VIOLET, 0.28), 90)
    cv.glow(760, 520, 200, alpha(BLUE, 0.16), 90)
    cv.rect((0, 0, W - 3, H - 3), outline=alpha(WHITE, 0.1))

    cv.text(40, 46, "关于Orvane & " + MAKER, 22, ink, anchor="lm", bold=2)
    close_button(cv, layouts.ABOUT["ImageU"], alpha(WHITE, 0.12), ink)  # click area
    cv.rect((40, 80, 778, 1), fill=alpha(WHITE, 0.1))

    # the product
    cv.rect((40, 108, 440, 210), fill=alpha(WHITE, 0.06), outline=alpha(WHITE, 0.12), radius=18)
    put_logo(cv, 68, 136, 96, glow=alpha(VIOLET, 0.5))
    cv.text(186, 140, "奥文Orvane", 36, ink, bold=2)
    cv.text(188, 192, SLOGAN, 15, soft)
    cv.rect((188, 226, 48, 4), fill=VIOLET, radius=2)
    cv.rect((240, 226, 14, 4), fill=BLUE, radius=2)
    cv.text(68, 262, "由" + MAKER + "开发", 15, soft)
    cv.text(68, 286, "基于OrvaneX模型 · 版本：V1.0.0", 13, faint)

    # the version mark
    card = (500, 108, 318, 210)
    cv.shadow(card, 18, 18, alpha(VIOLET, 0.35), offset=(0, 8))
    cv.fill_gradient(card, VIOLET, BLUE, angle=45, radius=18, opacity=0.9)
    ly = cv.layer(card, radius=18)
    ly.circle(300, 10, 120, fill=alpha(WHITE, 0.08))
    wave_lines(ly, (0, 150, 318, 70), alpha(WHITE, 0.14), count=2, width=2)
    ly.text(28, 36, "版本", 16, (255, 255, 255, 220), anchor="lm")
    ly.text(22, 146, "1.0", 104, WHITE, anchor="ls", bold=2)
    ly.text(30, 176, "奥文Orvane V1.0.0", 15, (255, 255, 255, 220), anchor="lm")
    ly.merge()

    # the maker
    maker_mark(cv, 40, 362, 60)
    cv.text(118, 360, MAKER, 52, ink, bold=2)
    cv.text(121, 428, "QINGSHI SOFTWARE", 14, faint)
    cv.text(40, 470, "用心做好每一个小工具。", 15, soft)

    # two QR codes with captions
    for i, (seed, caption) in enumerate(((2025, "我们的网站"), (1024, "视频号"))):
        x = 528 + i * 150
        size = pseudo_qr(cv, x, 348, 4, seed, (24, 18, 40), (250, 250, 255))
        cv.text(x + size / 2, 348 + size + 22, caption, 14, soft, anchor="mm")

    # small logos of what the program does along the bottom edge
    cv.rect((40, 528, 778, 1), fill=alpha(WHITE, 0.08))
    # named as the menu and the editor name them
    marks = [(glyph_sparkles, "AI创作"), (glyph_editor, "编辑器"), (glyph_bars, "生成WAV文件"),
             (glyph_folder, "我的作品"), (glyph_stone, MAKER)]
    y, s = 550, 24
    for i, (glyph, label) in enumerate(marks):
        x = 40 + i * 164
        ly = cv.layer((x - 2, y - 2, s + 4, s + 4), opacity=0.45)
        glyph(ly, 2, 2, s, WHITE, (0, 0, 0, 0))
        ly.merge()
        cv.text(x + s + 10, y + s / 2, label, 13, faint, anchor="lm")
    cv.text(818, 594, "© " + YEAR + " " + MAKER, 12, faint, anchor="rm")
    return cv.finish()


def write_icon(path, sizes=(16, 24, 32, 48, 64, 256)):
    """A Windows icon with every size drawn on its own (16 on the pixel grid, the
    windows' small icon): 32-bit DIB entries for the small sizes, a PNG entry for 256."""
    entries = []
    for px in sizes:
        im = small_logo_image() if px == 16 else logo_image(px)
        if px >= 256:
            buf = BytesIO()
            im.save(buf, "PNG", optimize=True)
            data = buf.getvalue()
        else:
            header = struct.pack("<IiiHHIIiiII", 40, px, px * 2, 1, 32, 0, 0, 0, 0, 0, 0)
            pixels = im.transpose(Image.FLIP_TOP_BOTTOM).tobytes("raw", "BGRA")
            row = ((px + 31) // 32) * 4
            and_mask = bytes(row * px)  # all zero: the alpha channel decides
            data = header + pixels + and_mask
        entries.append((px, data))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for px, data in entries:
        side = 0 if px >= 256 else px
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(d for _, d in entries))


# The pictures the program carries ready to draw (name.runs), not as PNG.
READY_TO_DRAW = ("splash_",)


def draw_scale(out_dir):
    """Draws every picture at SCALE into out_dir; the 1x run adds the logo and the icon."""
    pictures = {
        "splash_light.png": lambda: draw_splash(False),
        "splash_dark.png": lambda: draw_splash(True),
        "menu_light.png": lambda: draw_menu(False),
        "menu_dark.png": lambda: draw_menu(True),
        "error.png": draw_error,
        "notice.png": draw_notice,
        "about.png": draw_about,
    }
    pictures.update(setup_art.PICTURES)
    pictures.update(account_art.PICTURES)
    pictures.update(editor_art.PICTURES)
    suffix = SCALES[f"{SCALE:g}"]
    for name, make in pictures.items():
        if SCALE == 1.5 and not name.startswith(AT_ONE_AND_A_HALF):
            continue
        picture = make().convert("RGB")
        save_png(picture, os.path.join(out_dir, name.replace(".png", suffix + ".png")))
        if name.startswith(READY_TO_DRAW):
            save_runs(picture, os.path.join(out_dir, name.replace(".png", suffix + ".runs")))
    if SCALE != 1.5:  # the installer chooses between 1x and 2x by the screen's DPI
        installer_art.draw_installer().convert("RGB").save(os.path.join(out_dir, f"installer{suffix}.bmp"))
    if SCALE == 1:
        save_png(logo_image(256), os.path.join(out_dir, "logo.png"))
        write_icon(os.path.join(out_dir, "orvane.ico"))


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    if "ORVANE_ART_SCALE" in os.environ:
        draw_scale(out_dir)
        return
    # one process per scale, side by side
    runs = [subprocess.Popen([sys.executable, os.path.abspath(__file__), out_dir],
                             env=dict(os.environ, ORVANE_ART_SCALE=scale)) for scale in SCALES]
    if any(run.wait() for run in runs):
        sys.exit("make_art: a scale failed")


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "app", "art"))

