"""The pictures of the login window and the settings window, in both themes.

make_art.py registers PICTURES; the drawing kit is art_kit.py. The rectangles marked
"click area" or "text box" are where the windows lay their transparent click
areas and their entry boxes; every drawn button, tile, link and input frame
lies under its own.
"""

from art_kit import (BLUE, VIOLET, WHITE, Canvas, alpha, between, close_button, ink_span, layouts, mix,
                     put_logo, text_width, wave_lines)

LOGIN_BUTTON, LOGIN_CANCEL = layouts.LOGIN["ImageLOGIN"], layouts.LOGIN["ImageUN"]  # click areas 登录, 取消
LOGIN_PASSWORD = layouts.LOGIN_BOXES["Text2"]  # text box

SET_LIGHT, SET_DARK = layouts.SETTINGS["ImageL"], layouts.SETTINGS["ImageD"]  # click areas 明亮主题, 黑暗主题
SET_USER, SET_PASSWORD = layouts.SETTINGS_BOXES["Text1"], layouts.SETTINGS_BOXES["Text2"]  # text boxes
SET_SAVE, SET_RESET = layouts.SETTINGS["Image3"], layouts.SETTINGS["Image4"]  # click areas 保存更改, 点击恢复
SET_AGREEMENT, SET_PRIVACY = layouts.SETTINGS["Image5"], layouts.SETTINGS["Image6"]  # click areas
SET_CLOSE = layouts.SETTINGS["ImageU"]  # click area

FIELD = WHITE
FIELD_BORDER = (196, 202, 214)
HINT = (160, 166, 180)


def palette(dark):
    if dark:
        return dict(bg=(38, 40, 46), ink=WHITE, soft=(196, 200, 212), faint=(136, 142, 158),
                    card=(50, 53, 61), card_line=(66, 70, 80), link=(122, 170, 255))
    return dict(bg=WHITE, ink=(28, 32, 44), soft=(92, 100, 120), faint=(140, 146, 162),
                card=(244, 246, 250), card_line=(226, 230, 238), link=(36, 112, 226))


def field_around(cv, box, pad_x, pad_y, radius):
    """A white input frame with a grey border around a text box."""
    x, y, w, h = box
    frame = (x - pad_x, y - pad_y, w + 2 * pad_x, h + 2 * pad_y)
    cv.rect(frame, fill=FIELD, outline=FIELD_BORDER, radius=radius, width=1.2)
    return frame


def white_button(cv, box, label, size, dark):
    x, y, w, h = box
    cv.shadow(box, 8, 4, (0, 0, 0, 70 if dark else 30), offset=(0, 2))
    cv.rect(box, fill=WHITE, outline=(190, 196, 208), radius=8, width=1.2)
    cv.text(x + w / 2, y + h / 2, label, size, (52, 58, 74), anchor="mm", bold=1)


# --------------------------------------------------------------------------
# The login window, 345 × 551
# --------------------------------------------------------------------------

def draw_login(dark):
    W, H = 345, 551
    p = palette(dark)
    cv = Canvas(W, H, p["bg"])
    if dark:
        cv.glow(W / 2, 130, 120, alpha(VIOLET, 0.16), 50)
    else:
        cv.glow(W / 2, 130, 120, alpha(BLUE, 0.06), 50)
    cv.rect((0, 0, W, H), outline=p["card_line"], width=1)

    # a pale grey-blue person, head and shoulders, inside a round halo
    person = (176, 190, 214) if not dark else (150, 164, 192)
    halo = (W / 2 - 72, 64, 144, 144)
    cv.circle(W / 2, 136, 72, fill=alpha(person, 0.22))
    ly = cv.layer(halo, radius=72)
    ly.circle(72, 58, 27, fill=person)
    ly.ellipse((72 - 54, 96, 108, 96), fill=person)
    ly.merge()

    cv.text(W / 2, 258, "登录 Orvane账号", 24, p["ink"], anchor="mm", bold=2)
    cv.text(W / 2, 290, "请输入密码以打开设置", 13, p["faint"], anchor="mm")

    frame = field_around(cv, LOGIN_PASSWORD, 16, 12, 24.5)
    cv.text(LOGIN_PASSWORD[0] + 2, frame[1] + frame[3] / 2, "在此输入密码", 15, HINT, anchor="lm")

    x, y, w, h = LOGIN_BUTTON
    cv.shadow(LOGIN_BUTTON, h / 2, 7, alpha(BLUE, 0.35), offset=(0, 3))
    cv.fill_gradient(LOGIN_BUTTON, mix(BLUE, WHITE, 0.08), mix(BLUE, (20, 60, 170), 0.18), radius=h / 2)
    cv.text(x + w / 2, y + h / 2, "登录", 19, WHITE, anchor="mm", bold=1)

    x, y, w, h = LOGIN_CANCEL
    cv.shadow(LOGIN_CANCEL, h / 2, 6, (20, 30, 60, 60 if dark else 40), offset=(0, 3))
    cv.rect(LOGIN_CANCEL, fill=WHITE, outline=(172, 178, 192), radius=h / 2, width=1.6)
    cv.text(x + w / 2, y + h / 2, "取消", 19, (112, 118, 134), anchor="mm", bold=1)

    put_logo(cv, W / 2 - 52, 522, 18)
    cv.text(W / 2 - 28, 531, "奥文Orvane", 13, p["faint"], anchor="lm", bold=1)
    return cv.finish()


# --------------------------------------------------------------------------
# The settings window, 1089 × 640
# --------------------------------------------------------------------------

def theme_preview(cv, box, light):
    """A small window in the theme: title bar, a tile row and text lines."""
    x, y, w, h = box
    body = WHITE if light else (46, 48, 54)
    line = (220, 226, 236) if light else (82, 86, 96)
    cv.shadow(box, 10, 6, (0, 0, 0, 40), offset=(0, 3))
    cv.rect(box, fill=body, outline=(206, 212, 224) if light else (20, 22, 26), radius=10, width=1.2)
    cv.rect((x + 12, y + 12, w * 0.35, 8), fill=line, radius=4)
    for i, (c1, c2) in enumerate(((VIOLET, BLUE), ((44, 110, 214), (86, 152, 242)), ((30, 130, 212), (68, 172, 240)))):
        tw = (w - 24 - 16) / 3
        cv.fill_gradient((x + 12 + i * (tw + 8), y + 32, tw, h - 72), c1, c2, angle=60, radius=6)
    cv.rect((x + 12, y + h - 28, w * 0.55, 6), fill=line, radius=3)
    cv.rect((x + 12, y + h - 16, w * 0.35, 6), fill=line, radius=3)


def draw_settings(dark):
    W, H = 1089, 640
    p = palette(dark)
    cv = Canvas(W, H, p["bg"])
    cv.rect((0, 0, W, H), outline=p["card_line"], width=1)

    cv.text(64, 52, "Orvane 设置", 32, p["ink"], anchor="lm", bold=2)
    close_button(cv, SET_CLOSE, p["card"] if not dark else p["card_line"], p["soft"])  # click area

    def heading(y, s):
        cv.rect((64, y - 9, 4, 18), fill=BLUE, radius=2)
        cv.text(76, y, s, 18, p["ink"], anchor="lm", bold=2)

    # the theme: two tiles, each with its label below, inside its click area
    heading(108, "主题设置")
    for box, light, label in ((SET_LIGHT, True, "明亮主题"), (SET_DARK, False, "黑暗主题")):
        x, y, w, h = box
        cv.rect(box, fill=p["card"], outline=p["card_line"], radius=12, width=1)
        theme_preview(cv, (x + 14, y + 14, w - 28, h - 58), light)
        cv.text(x + w / 2, y + h - 22, label, 16, p["ink"], anchor="mm", bold=1)

    # the account: two labelled entry boxes in white frames, the save button below right
    heading(360, "账号设置")
    frames = []
    for box, label in ((SET_USER, "输入新的用户名:"), (SET_PASSWORD, "输入新的密码:")):
        x, y, w, h = box
        frames.append(field_around(cv, box, 6, 2, 4))
        cv.text(x - 14, y + h / 2, label, 15, p["soft"], anchor="rm", bold=1)
    white_button(cv, SET_SAVE, "保存更改", 14, dark)

    # the factory reset
    heading(516, "恢复出厂设置")
    white_button(cv, SET_RESET, "点击恢复", 14, dark)
    x, y, w, h = SET_RESET
    cv.text(x + w + 16, y + h / 2, "恢复后程序将重新启动，您需要再次完成新用户设置", 13, p["faint"], anchor="lm")

    # the two links, each inside its click area with the ink of its brackets at the facing
    # edges, 和 between them and 点击查看 before them, as close as the areas allow
    fy, fs = SET_AGREEMENT[1] + SET_AGREEMENT[3] / 2, 17
    agreement, privacy = "《Orvane用户协议》", "《Orvane隐私政策》"
    a_ink = SET_AGREEMENT[0] + SET_AGREEMENT[2] - 1
    a_left = a_ink - ink_span(agreement, fs)[1]
    p_left = SET_PRIVACY[0] - ink_span(privacy, fs)[0]
    for left, s in ((a_left, agreement), (p_left, privacy)):
        tw = text_width(s, fs)
        cv.text(left, fy, s, fs, p["link"], anchor="lm")
        cv.rect((left + 16, fy + 11, tw - 32, 1), fill=alpha(p["link"], 0.5))
    cv.text(a_left, fy, "点击查看", fs, p["soft"], anchor="rm")
    cv.text(between(a_ink, SET_PRIVACY[0], "和", fs), fy, "和", fs, p["soft"], anchor="lm")

    # the right side: the program, for the eye only
    card = (752, 96, 289, 497)
    cv.shadow(card, 20, 16, alpha(VIOLET, 0.3 if dark else 0.22), offset=(0, 8))
    cv.fill_gradient(card, VIOLET, BLUE, angle=60, radius=20)
    ly = cv.layer(card, radius=20)
    ly.circle(260, 30, 130, fill=alpha(WHITE, 0.08))
    wave_lines(ly, (0, 330, 289, 110), alpha(WHITE, 0.16), count=3, width=2)
    ly.merge()
    put_logo(cv, 752 + 289 / 2 - 48, 150, 96, glow=alpha((20, 20, 60), 0.35))
    cv.text(752 + 289 / 2, 292, "奥文Orvane", 30, WHITE, anchor="mm", bold=2)
    cv.text(752 + 289 / 2, 330, "让音乐创作变得", 15, (255, 255, 255, 225), anchor="mm")
    cv.text(752 + 289 / 2, 352, "前所未有的简单", 15, (255, 255, 255, 225), anchor="mm")
    cv.text(752 + 289 / 2, 556, "版本：V1.0.0", 13, (255, 255, 255, 200), anchor="mm")
    return cv.finish()


PICTURES = {
    "login_light.png": lambda: draw_login(False),
    "login_dark.png": lambda: draw_login(True),
    "settings_light.png": lambda: draw_settings(False),
    "settings_dark.png": lambda: draw_settings(True),
}
