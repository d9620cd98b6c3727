"""The side picture of the installer's welcome and finish pages: the splash in
miniature, upright. The pages show it at 164 x 314 pixels at 96 dpi; make_art.py
writes it as a 24-bit BMP (what the installer takes) at 1x and 2x."""

from art_kit import BLUE, VIOLET, WHITE, Canvas, alpha, mix, put_logo

W, H = 164, 314


def draw_installer():
    bg1, bg2 = (44, 28, 78), (20, 13, 40)
    cv = Canvas(W, H, bg1)
    cv.fill_gradient((0, 0, W, H), bg1, bg2, angle=60)
    cv.glow(60, 90, 90, alpha(VIOLET, 0.3), 40)

    # the splash's diagonal bars, running off the bottom edge
    lean, top, bottom = 0.5, 170, H + 10
    bars = [  # left edge at mid height, width, colours, opacity
        (-6, 3, VIOLET, VIOLET, 0.45),
        (20, 26, VIOLET, mix(VIOLET, BLUE, 0.5), 0.95),
        (54, 8, BLUE, BLUE, 0.9),
        (72, 52, BLUE, VIOLET, 0.88),
        (132, 12, mix(VIOLET, WHITE, 0.3), VIOLET, 0.6),
        (150, 120, VIOLET, BLUE, 0.95),
    ]
    for x, w, c1, c2, a in bars:
        shift = (bottom - top) * lean / 2
        cv.fill_polygon_gradient([(x + shift, top), (x + shift + w, top), (x - shift + w, bottom),
                                  (x - shift, bottom)], c1, c2, angle=120, opacity=a)

    put_logo(cv, 28, 36, 56, glow=alpha(VIOLET, 0.5))
    cv.text(26, 108, "奥文Orvane", 22, WHITE, bold=2)
    cv.rect((28, 142, 28, 3), fill=VIOLET, radius=1.5)
    cv.rect((60, 142, 9, 3), fill=BLUE, radius=1.5)
    return cv.finish()
