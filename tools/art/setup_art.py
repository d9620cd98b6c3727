"""The pictures of the setup: the welcome window and the four step windows.

make_art.py registers PICTURES; the drawing kit is art_kit.py. The rectangles marked
"click area" or "text box" are where the windows lay their transparent click
areas and their entry boxes: every drawn button lies under its click area,
and every input frame around its text box.
"""


from PIL import Image, ImageDraw

from art_kit import (BLUE, SS, WHITE, Canvas, alpha, beamed_notes, gradient, layouts, mix, put_logo, text_width,
                     wave_lines)

W, H = 1150, 660  # the step windows
PANEL = 357  # width of the blue panel on the left

WELCOME_START = layouts.WELCOME["Image2"]  # click area 开始
CLOSE = layouts.STEP_ACCOUNT["Image2"]  # click area ×, on every step
PYTHON = layouts.STEP_PYTHON["Image4"]  # click area 安装python-3.8.10
LIGHT, DARK = layouts.STEP_THEME["Image3"], layouts.STEP_THEME["Image4"]  # click areas 洁白主题, 暗黑主题
NEXT_TALL = layouts.STEP_PYTHON["Image3"]  # click area 下一步 of step 1, 完成
NEXT_LOW = layouts.STEP_THEME["Image5"]  # click area 下一步 of steps 2 and 3
BOTTOM_BUTTON = NEXT_LOW  # the drawn 下一步 and 完成 of every step: one size, inside NEXT_TALL as well
USER, PASSWORD = layouts.STEP_ACCOUNT_BOXES["Text1"], layouts.STEP_ACCOUNT_BOXES["Text2"]  # text boxes
USER_FRAME = (596, 288, 369, 49)  # input frames around the text boxes
PASSWORD_FRAME = (596, 364, 353, 49)

DEEP_BLUE = (28, 86, 196)
INK = (30, 36, 52)
SOFT = (104, 112, 130)
FAINT = (176, 182, 194)
BUTTON_GREY = (230, 233, 238)
CARD = (236, 242, 252)
CARD_LINE = (196, 212, 240)
FOOTER = "在完成这些设置之后，您就可以使用Orvane了"


def note_symbol(px):
    """The note symbol of the logo, white on transparent, px wide; drawn at four
    times the size and box-filtered down."""
    k = 4
    n = px * k
    mask = Image.new("L", (n, n), 0)
    d = ImageDraw.Draw(mask)
    beamed_notes(d, n, [(0.24, 0.8, 0.16), (0.7, 0.7, 0.06)], head=(0.19, 0.135), stem_w=0.08,
                 beam_t=0.13, swing=0.06, fill=255)
    im = Image.new("RGBA", (n, n), WHITE + (0,))
    im.putalpha(mask)
    return im.reduce(k)


def wrap(s, size, width):
    """Lines of s no wider than width; Chinese text breaks between any two characters,
    but a punctuation mark never starts a line."""
    lines, line = [], ""
    for ch in s:
        if line and text_width(line + ch, size) > width and ch not in "，。、；：！？）":
            lines.append(line)
            line = ""
        line += ch
    return lines + [line] if line else lines


def chevron(cv, cx, cy, s, colour, width=2.2):
    cv.line([(cx - s * 0.5, cy - s), (cx + s * 0.5, cy), (cx - s * 0.5, cy + s)], colour, width)


def close_mark(cv):
    x, y, w, h = CLOSE  # click area
    cv.rect(CLOSE, fill=(240, 241, 244), radius=6)
    cv.cross(x + w / 2, y + h / 2, 6, (150, 156, 170), 1.8)


def grey_button(cv, box, label):
    x, y, w, h = box  # click area
    cv.rect(box, fill=BUTTON_GREY, outline=(214, 218, 226), radius=10)
    cv.text(x + w / 2, y + h / 2, label, 17, INK, anchor="mm", bold=1)


def framed_button(cv, box, label, mark=None):
    """A wide pale card with a label, a chevron on the right, and a small mark on the
    left drawn by mark(cv, cx, cy)."""
    x, y, w, h = box  # click area
    cv.rect(box, fill=CARD, outline=CARD_LINE, radius=14, width=1.5)
    left = x + 40
    if mark:
        mark(cv, x + 58, y + h / 2)
        left = x + 100
    cv.text(left, y + h / 2, label, 22, INK, anchor="lm", bold=1)
    cv.circle(x + w - 44, y + h / 2, 18, fill=WHITE, outline=CARD_LINE, width=1.2)
    chevron(cv, x + w - 43, y + h / 2, 6, BLUE)


def step(title, explanation, footer=FOOTER):
    """The common layout of the four steps; returns the canvas to add the step's own
    elements to."""
    cv = Canvas(W, H, WHITE)
    # the blue panel with the note symbol and the product name
    cv.fill_gradient((0, 0, PANEL, H), mix(BLUE, WHITE, 0.1), DEEP_BLUE, angle=70)
    ly = cv.layer((0, 0, PANEL, H))
    ly.circle(PANEL - 20, 70, 150, fill=alpha(WHITE, 0.07))
    ly.circle(30, H - 40, 120, fill=alpha(WHITE, 0.06))
    wave_lines(ly, (0, 470, PANEL, 110), alpha(WHITE, 0.16), count=3, width=2)
    ly.merge()
    cv.image(note_symbol(120 * SS), PANEL / 2 - 60, 170)
    cv.text(PANEL / 2, 336, "奥文Orvane", 34, WHITE, anchor="mm", bold=2)
    cv.text(PANEL / 2, 380, "让音乐创作变得前所未有的简单", 15, (226, 236, 252), anchor="mm")
    cv.rect((PANEL / 2 - 24, 408, 48, 4), fill=alpha(WHITE, 0.7), radius=2)

    close_mark(cv)
    cv.text(464, 58, "新用户设置", 40, INK, bold=2)
    cv.text(466, 140, title, 22, INK, bold=1)
    for i, line in enumerate(wrap(explanation, 15, 577)):
        cv.text(466, 190 + i * 26, line, 15, SOFT)
    cv.text(PANEL + (W - PANEL) / 2, 636, footer, 13, FAINT, anchor="mm")
    return cv


def python_mark(cv, cx, cy):
    """Two interlocking rounded squares in blue and yellow."""
    cv.rect((cx - 17, cy - 17, 22, 22), fill=(55, 118, 171), radius=6)
    cv.rect((cx - 5, cy - 5, 22, 22), fill=(255, 203, 59), radius=6)
    cv.circle(cx - 11, cy - 11, 2.2, fill=WHITE)
    cv.circle(cx + 11, cy + 11, 2.2, fill=WHITE)


def swatch(fill, ink):
    def mark(cv, cx, cy):
        cv.rect((cx - 20, cy - 20, 40, 40), fill=fill, outline=(200, 206, 218), radius=10)
        cv.circle(cx - 6, cy - 4, 5, fill=ink)
        cv.rect((cx - 2, cy - 12, 3, 9), fill=ink)
        cv.rect((cx + 4, cy + 2, 10, 3), fill=ink, radius=1.5)
        cv.rect((cx + 4, cy + 8, 7, 3), fill=ink, radius=1.5)
    return mark


def draw_python():
    cv = step("您需要安装Python（1/3）",
              "我们为你准备了python-3.8.10安装包，您需要安装Python后才能运行Orvane，否则可能无法正常运行。"
              "点击下方按钮以安装python-3.8.10。如果你的电脑中已经安装了Python，请直接点击下一步。")
    framed_button(cv, PYTHON, "安装python-3.8.10", python_mark)
    grey_button(cv, BOTTOM_BUTTON, "下一步")
    return cv.finish()


def draw_theme():
    cv = step("选择一个你喜欢的主题（2/3）", "简约，从不是简单的堆砌。黑白主题，以不凡的格调，彰显您独特的品味与追求。")
    framed_button(cv, LIGHT, "洁白主题", swatch(WHITE, (90, 100, 120)))
    framed_button(cv, DARK, "暗黑主题", swatch((40, 42, 50), (220, 224, 232)))
    grey_button(cv, BOTTOM_BUTTON, "下一步")
    return cv.finish()


def draw_account():
    cv = step("创建本地用户（3/3）", "星尘之下，编织您的梦幻身份。接下来请设置你的账号和密码。")
    label = "用户名："
    width = text_width(label, 17)
    for frame, text in ((USER_FRAME, label), (PASSWORD_FRAME, "密码：")):
        x, y, w, h = frame
        cv.rect(frame, fill=WHITE, outline=(196, 202, 214), radius=10, width=1.5)
        # the shorter label is spread out to the width of the longer one, its colon
        # under the other colon
        left = x - 18 - width
        gap = (width - text_width(text, 17)) / (len(text) - 2)
        for i, ch in enumerate(text):
            cv.text(left, y + h / 2, ch, 17, INK, anchor="lm")
            left += text_width(ch, 17) + (gap if i < len(text) - 2 else 0)
    grey_button(cv, BOTTOM_BUTTON, "下一步")
    return cv.finish()


def draw_done():
    cv = step("完成了所有设置", "现在，您可以开始使用Orvane了。", footer="点击完成，即可进入Orvane")
    # a large check mark in a soft ring, as decoration
    cx, cy = 752, 390
    cv.circle(cx, cy, 96, fill=(240, 245, 253))
    cv.circle(cx, cy, 70, fill=mix(BLUE, WHITE, 0.15))
    cv.line([(cx - 30, cy + 2), (cx - 8, cy + 24), (cx + 32, cy - 22)], WHITE, 11)
    grey_button(cv, BOTTOM_BUTTON, "完成")
    return cv.finish()


def draw_welcome():
    w, h = 787, 443
    cv = Canvas(w, h, WHITE)
    cv.glow(w / 2, 190, 120, alpha(BLUE, 0.08), 50)
    cv.text(w / 2, 58, "你好，我是AI作曲家-Orvane", 30, INK, anchor="mm", bold=2)
    cv.text(w / 2, 100, "Orvane - 让音乐创作变得前所未有的简单", 16, SOFT, anchor="mm")
    size = 108
    put_logo(cv, w / 2 - size / 2, 136, size, glow=alpha(BLUE, 0.3))
    cv.text(w / 2, 274, "Orvane", 22, INK, anchor="mm", bold=1)
    x, y, bw, bh = WELCOME_START  # click area
    cv.fill_gradient(WELCOME_START, mix(BLUE, WHITE, 0.08), DEEP_BLUE, radius=12)
    cv.text(x + bw / 2, y + bh / 2, "开始", 18, WHITE, anchor="mm", bold=1)
    cv.text(w / 2, 410, "只需几步，即可完成设置", 13, FAINT, anchor="mm")
    return cv.finish()


PICTURES = {
    "welcome.png": draw_welcome,
    "setup_python.png": draw_python,
    "setup_theme.png": draw_theme,
    "setup_account.png": draw_account,
    "setup_done.png": draw_done,
}
