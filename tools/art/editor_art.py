"""The pictures of the score editor, in both themes (1440 x 868; the window shows
the top 863 rows).

make_art.py registers PICTURES; the drawing kit is art_kit.py. The rectangles marked
"click area" are where the editor lays its transparent click areas; each drawn
button lies exactly under its own. The text box, the line-number gutter and the
two labels are real controls: the picture leaves plain ground where they lie.
"""

from art_kit import (BLUE, JADE, MAKER, SLOGAN, VIOLET, WHITE, Canvas, alpha, close_button, glyph_bars,
                     glyph_folder, glyph_sparkles, layouts, maker_mark, mix, put_logo, text_width, wave_lines)

W, H = 1440, 868

# click areas: 通过Ai模型创作, 新建, 打开, 保存, 生成WAV文件, the close cross, and the row below the note:
# AI续写 on the left, 导出MIDI on the right
AI, NEW, OPEN, SAVE, WAV, CLOSE, AIXX, MIDI = (layouts.EDITOR[name] for name in (
    "ImageAi", "ImageNEW", "ImageOPEN", "ImageSAVE", "ImageWAV", "ImageUN", "ImageAIXX", "ImageMIDI"))
BUTTONS = [AI, NEW, OPEN, SAVE, WAV]
BUTTON_SIZE = (265, 65)  # every drawn button: the largest that fits in all five click areas

# the labels LabelMSG, LabelZT and lblLineNo, and the text box txtCode
MESSAGE, STATUS, GUTTER, CODE = (layouts.EDITOR_BOXES[name] for name in ("LabelMSG", "LabelZT", "lblLineNo",
                                                                        "txtCode"))

PANEL = (8, 108, 305, 704)
CARD = (384, 112, 1041, 689)  # text area: the gutter and the text box with a margin
TOP_BAR = 100


def drawn(area):
    """The drawn button of a click area: one size for all five, at the area's left edge and
    centred on its height, so that the buttons stand evenly spaced."""
    x, y, w, h = area
    return x, y + (h - BUTTON_SIZE[1]) / 2, *BUTTON_SIZE


def glyph_plus(cv, x, y, s, c, hole):
    cv.rect((x, y, s, s), fill=c, radius=s * 0.26)
    cv.rect((x + s * 0.45, y + s * 0.24, s * 0.1, s * 0.52), fill=hole, radius=s * 0.05)
    cv.rect((x + s * 0.24, y + s * 0.45, s * 0.52, s * 0.1), fill=hole, radius=s * 0.05)


def glyph_disk(cv, x, y, s, c, hole):
    cv.rect((x, y, s, s), fill=c, radius=s * 0.16)
    cv.rect((x + s * 0.22, y, s * 0.5, s * 0.32), fill=hole, radius=s * 0.05)
    cv.rect((x + s * 0.54, y + s * 0.05, s * 0.1, s * 0.2), fill=c)
    cv.rect((x + s * 0.18, y + s * 0.52, s * 0.64, s * 0.36), fill=hole, radius=s * 0.06)


def glyph_midi(cv, x, y, s, c, hole):
    """A note on its own: the score as notes for other programs."""
    cv.rect((x, y, s, s), fill=c, radius=s * 0.26)
    cv.circle(x + s * 0.4, y + s * 0.7, s * 0.13, fill=hole)
    cv.rect((x + s * 0.46, y + s * 0.22, s * 0.08, s * 0.5), fill=hole)
    cv.polygon([(x + s * 0.54, y + s * 0.22), (x + s * 0.76, y + s * 0.34), (x + s * 0.76, y + s * 0.45),
                (x + s * 0.54, y + s * 0.34)], hole)


def draw_editor(dark):
    if dark:
        ground, bar, panel, line = (24, 24, 27), (38, 38, 43), (34, 34, 39), (58, 58, 66)
        ink, soft, faint = (224, 224, 224), (178, 178, 190), (128, 128, 140)
        key, key_line, key_ink = (52, 52, 60), (72, 72, 82), (224, 224, 224)
        text_area, gutter = (0, 0, 0), (0, 0, 0)
        note, note_line = (52, 44, 28), (120, 96, 48)
    else:
        ground, bar, panel, line = (238, 240, 247), WHITE, (250, 250, 253), (222, 225, 236)
        ink, soft, faint = (34, 30, 64), (96, 92, 134), (140, 138, 170)
        key, key_line, key_ink = (241, 243, 251), (214, 218, 236), (40, 38, 70)
        text_area, gutter = WHITE, (224, 224, 224)
        note, note_line = (255, 246, 226), (240, 200, 120)

    cv = Canvas(W, H, ground)

    # the top bar: logo, name, tagline and the close cross
    cv.rect((0, 0, W, TOP_BAR), fill=bar)
    cv.rect((0, TOP_BAR - 1, W, 1), fill=line)
    put_logo(cv, 26, 22, 56, glow=alpha(VIOLET, 0.45 if dark else 0.25))
    cv.text(98, 30, "奥文Orvane", 26, ink, bold=2)
    cv.text(248, 40, "编辑器", 15, soft, anchor="lm", bold=1)
    cv.text(99, 66, SLOGAN, 14, soft)
    wave_lines(cv, (1060, 26, 260, 48), alpha(VIOLET, 0.18 if dark else 0.12), count=3, width=2)
    close_button(cv, CLOSE, alpha(WHITE, 0.1) if dark else (240, 241, 248), ink)

    # the left panel with the five buttons, the warning and the status line
    cv.shadow(PANEL, 16, 10, alpha((0, 0, 0), 0.35 if dark else 0.08), offset=(0, 3))
    cv.rect(PANEL, fill=panel, outline=line, radius=16)

    button = drawn(AI)
    x, y, w, h = button
    cv.shadow(button, 14, 5, alpha(VIOLET, 0.4 if dark else 0.28), offset=(0, 3))
    cv.fill_gradient(button, VIOLET, BLUE, angle=0, radius=14)
    ly = cv.layer(button, radius=14)
    ly.circle(w - 24, 8, 54, fill=alpha(WHITE, 0.08))
    wave_lines(ly, (110, 44, 150, 26), alpha(WHITE, 0.16), count=2, width=1.6)
    glyph_sparkles(ly, 20, h / 2 - 15, 30, WHITE, None)
    ly.text(64, h / 2 - 9, "通过Ai模型创作", 19, WHITE, anchor="lm", bold=2)
    ly.text(65, h / 2 + 16, "让OrvaneX模型为您写谱", 12, (255, 255, 255, 215), anchor="lm")
    ly.merge()

    keys = [(NEW, "新建", "清空编辑器，重新开始", glyph_plus, VIOLET),
            (OPEN, "打开", "打开一个 .sop 乐谱", glyph_folder, BLUE),
            (SAVE, "保存", "把乐谱保存为 .sop 文件", glyph_disk, JADE)]
    for area, title, sub, glyph, accent in keys:
        box = drawn(area)
        x, y, w, h = box
        cv.rect(box, fill=key, outline=key_line, radius=12)
        glyph(cv, x + 20, y + h / 2 - 13, 26, accent, key)
        cv.text(x + 62, y + h / 2 - 8, title, 18, key_ink, anchor="lm", bold=1)
        cv.text(x + 63, y + h / 2 + 14, sub, 12, faint, anchor="lm")

    button = drawn(WAV)
    x, y, w, h = button
    cv.shadow(button, 14, 5, alpha(JADE, 0.35 if dark else 0.22), offset=(0, 3))
    cv.fill_gradient(button, mix(JADE, BLUE, 0.15), mix(JADE, WHITE, 0.08) if not dark else JADE, angle=0,
                     radius=14)
    ly = cv.layer(button, radius=14)
    ly.circle(w - 20, h - 6, 50, fill=alpha(WHITE, 0.08))
    glyph_bars(ly, 22, h / 2 - 13, 26, WHITE, None)
    ly.text(64, h / 2 - 9, "生成WAV文件", 19, WHITE, anchor="lm", bold=2)
    ly.text(65, h / 2 + 16, "保存到 C:\\Orvane\\OutputWAV", 12, (255, 255, 255, 215), anchor="lm")
    ly.merge()

    # AI续写: the AI button's colours, small, in the left half of its row
    x, y, w, h = AIXX
    cv.shadow(AIXX, 10, 4, alpha(VIOLET, 0.4 if dark else 0.28), offset=(0, 2))
    cv.fill_gradient(AIXX, VIOLET, BLUE, angle=0, radius=12)
    ly = cv.layer(AIXX, radius=12)
    ly.circle(w - 14, 6, 30, fill=alpha(WHITE, 0.08))
    glyph_sparkles(ly, 12, h / 2 - 12, 24, WHITE, None)
    ly.text(44, h / 2 - 8, "AI续写", 17, WHITE, anchor="lm", bold=1)
    ly.text(45, h / 2 + 12, "从光标处接着写", 11, (255, 255, 255, 215), anchor="lm")
    ly.merge()
    # 导出MIDI: a key of half the width, with its shortcut beneath its name
    x, y, w, h = MIDI
    cv.rect(MIDI, fill=key, outline=key_line, radius=10)
    glyph_midi(cv, x + 12, y + h / 2 - 11, 22, mix(VIOLET, BLUE, 0.5), key)
    cv.text(x + 42, y + h / 2 - 7, "导出MIDI", 15, key_ink, anchor="lm", bold=1)
    cv.text(x + 43, y + h / 2 + 11, "Ctrl+E", 11, faint, anchor="lm")

    # the warning sits on a pale note; the label draws its words
    mx, my, mw, mh = MESSAGE
    cv.rect((mx - 8, my - 10, mw + 16, mh + 16), fill=note, outline=note_line, radius=10)
    cv.rect((mx - 8, my - 2, 3, mh), fill=note_line, radius=1.5)
    # the status line: a rule above it and a dot before the label's words
    cv.rect((PANEL[0] + 8, 760, PANEL[2] - 16, 1), fill=line)
    cv.text(PANEL[0] + 16, 744, "状态", 12, faint, anchor="lm")

    # the text area: a gutter strip and the plain ground of the text box
    cv.shadow(CARD, 14, 10, alpha((0, 0, 0), 0.4 if dark else 0.07), offset=(0, 3))
    cv.rect(CARD, fill=text_area, outline=line, radius=14)
    gx = GUTTER[0]
    left = cv.layer(CARD, radius=14)
    left.rect((0, 0, gx + GUTTER[2] - CARD[0], CARD[3]), fill=gutter)
    if gutter != text_area:  # a rule between two grounds; on one ground it would stand alone
        left.rect((gx + GUTTER[2] - CARD[0], 0, 1, CARD[3]), fill=line)
    left.merge()
    cv.rect(CARD, outline=line, radius=14)

    # the footer, worded as the main menu's, with the maker's mark and name after it
    fy, fs = 838, 13
    parts = "请遵守《Orvane用户协议》、《Orvane隐私政策》，基于OrvaneX模型，版本：V1.0.0"
    total = text_width(parts, fs) + 14 + 16 + 6 + text_width(MAKER, fs)
    fx = (W - total) / 2
    cv.text(fx, fy, parts, fs, faint, anchor="lm")
    mark_x = fx + text_width(parts, fs) + 14
    maker_mark(cv, mark_x, fy - 8, 16)
    cv.text(mark_x + 22, fy, MAKER, fs, soft, anchor="lm", bold=1)
    return cv.finish()


PICTURES = {
    "editor_light.png": lambda: draw_editor(False),
    "editor_dark.png": lambda: draw_editor(True),
}
