#!/usr/bin/python3
"""Draws every window picture of 奥文Orvane and the program icon.

    /usr/bin/python3 tools/art/make_art.py [output folder]      (default: app/art)

Needs Debian's Pillow (python3-pil) and the WenQuanYi Zen Hei font
(fonts-wqy-zenhei). The output is byte-for-byte the same on every run: shapes
are drawn several times larger and box-filtered down, text is drawn afterwards at
the final size, the pseudo QR codes come from fixed seeds and the PNG files
carry no time stamps.

Every window picture is drawn at each scale of SCALES, for screens of higher
pixel density: name.png at 1x, name@1.5x.png and name@2x.png. The drawing code
keeps its 1x coordinates; the kit (Canvas, put_logo, SS) scales them, so that a
picture shows the same content at every scale. One process draws one scale
(ORVANE_ART_SCALE), since the module-level factors below are read at import.

The rectangles marked "click area" are the places where the windows lay their
transparent click areas; the drawn buttons must cover them exactly.
"""

import math
import os
import random
import struct
import subprocess
import sys
from io import BytesIO

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_FILE = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
SCALES = {"1": "", "1.5": "@1.5x", "2": "@2x"}  # scale: suffix of the file name
# 1.5x only for the windows seen most; the others are shrunk from 2x, and the program
# stays within its size budget.
AT_ONE_AND_A_HALF = ("splash_", "menu_", "editor_")
SCALE = float(os.environ.get("ORVANE_ART_SCALE", "1"))
# Shapes land on an image SS times the 1x design and are box-filtered down by DOWN,
# to SCALE times the design: 3 and 3 at 1x, 6 and 4 at 1.5x, 6 and 3 at 2x.
SS = 3 if SCALE == 1 else 6
DOWN = round(SS / SCALE)

VIOLET = (124, 87, 235)
BLUE = (63, 133, 225)
JADE = (38, 178, 160)  # the maker's colour (青石)
WHITE = (255, 255, 255)

SLOGAN = "让音乐创作变得前所未有的简单"
MAKER = "青石软件"


# --------------------------------------------------------------------------
# Drawing helpers
# --------------------------------------------------------------------------

_fonts = {}


def font(size):
    if not os.path.exists(FONT_FILE):
        sys.exit(f"make_art: {FONT_FILE} is missing; install the package fonts-wqy-zenhei")
    if size not in _fonts:
        _fonts[size] = ImageFont.truetype(FONT_FILE, size)
    return _fonts[size]


def text_width(s, size):
    return font(size).getlength(s)


def mix(c1, c2, t):
    return tuple(round(a + (b - a) * t) for a, b in zip(c1, c2))


def alpha(c, a):
    """Colour c with opacity a (0..1) for drawing in blend mode."""
    return tuple(c[:3]) + (round(255 * a),)


def rounded_mask(size, radius):
    w, h = size
    m = Image.new("L", (w, h), 0)
    ImageDraw.Draw(m).rounded_rectangle((0, 0, w - 1, h - 1), radius, fill=255)
    return m


def gradient(size, c1, c2, angle=90):
    """Linear gradient from c1 to c2; angle 0 runs left to right, 90 top to bottom."""
    w, h = size
    dx, dy = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    ends = [x * dx + y * dy for x in (0, w) for y in (0, h)]
    lo, span = min(ends), max(ends) - min(ends)
    # computed on a small grid; a linear ramp survives bilinear enlarging
    sw, sh = min(w, 128), min(h, 128)
    ramp = Image.new("L", (sw, sh))
    ramp.putdata([round(255 * (((i + 0.5) * w / sw) * dx + ((j + 0.5) * h / sh) * dy - lo) / span)
                  for j in range(sh) for i in range(sw)])
    ramp = ramp.resize((w, h), Image.BILINEAR)
    return Image.composite(Image.new("RGB", (w, h), c2), Image.new("RGB", (w, h), c1), ramp)


class Canvas:
    """A picture in the making. Coordinates are pixels of the 1x design; shapes
    land on an SS times larger image, text is queued and drawn on the final image
    at SCALE times the design.

    Shapes with a translucent colour blend into the picture. A layer (see
    layer()) starts transparent and its shapes replace what lies under them,
    which is how glyphs cut holes; the layer blends in as a whole on merge()."""

    def __init__(self, w, h, background, ox=0, oy=0):
        self.ox, self.oy = ox, oy
        self.hi = Image.new("RGBA" if background is None else "RGB", (w * SS, h * SS),
                            (0, 0, 0, 0) if background is None else background)
        self.draw = ImageDraw.Draw(self.hi, "RGBA")
        self.texts = []

    def _s(self, v):
        return round(v * SS)

    def _box(self, box):
        x, y, w, h = box
        return (self._s(x), self._s(y), self._s(x + w) - 1, self._s(y + h) - 1)

    def _pts(self, pts):
        return [(self._s(x), self._s(y)) for x, y in pts]

    # --- shapes ---

    def rect(self, box, fill=None, radius=0, outline=None, width=1):
        self.draw.rounded_rectangle(self._box(box), self._s(radius), fill=fill,
                                    outline=outline, width=max(1, self._s(width)))

    def ellipse(self, box, fill=None, outline=None, width=1):
        self.draw.ellipse(self._box(box), fill=fill, outline=outline, width=max(1, self._s(width)))

    def circle(self, cx, cy, r, fill=None, outline=None, width=1):
        self.ellipse((cx - r, cy - r, 2 * r, 2 * r), fill, outline, width)

    def polygon(self, pts, fill):
        self.draw.polygon(self._pts(pts), fill=fill)

    def line(self, pts, fill, width):
        """A polyline with round ends and joints."""
        self.draw.line(self._pts(pts), fill=fill, width=self._s(width), joint="curve")
        for x, y in (pts[0], pts[-1]):
            self.circle(x, y, width / 2 - 0.2, fill=fill)

    def cross(self, cx, cy, half, fill, width):
        self.line([(cx - half, cy - half), (cx + half, cy + half)], fill, width)
        self.line([(cx - half, cy + half), (cx + half, cy - half)], fill, width)

    def fill_gradient(self, box, c1, c2, angle=90, radius=0, opacity=1.0):
        x, y, w, h = self._box(box)
        size = (w - x + 1, h - y + 1)
        mask = rounded_mask(size, self._s(radius))
        if opacity < 1:
            mask = mask.point(lambda v: round(v * opacity))
        self._paste(gradient(size, c1, c2, angle), (x, y), mask)

    def fill_polygon_gradient(self, pts, c1, c2, angle=90, opacity=1.0):
        pts = self._pts(pts)
        x0, y0 = min(p[0] for p in pts), min(p[1] for p in pts)
        x1, y1 = max(p[0] for p in pts), max(p[1] for p in pts)
        size = (x1 - x0 + 1, y1 - y0 + 1)
        mask = Image.new("L", size, 0)
        ImageDraw.Draw(mask).polygon([(x - x0, y - y0) for x, y in pts], fill=round(255 * opacity))
        self._paste(gradient(size, c1, c2, angle), (x0, y0), mask)

    def shadow(self, box, radius, blur, colour, offset=(0, 0), spread=0):
        """A soft shadow or glow under a rounded box."""
        x, y, w, h = box
        pad = blur * 3 + spread
        m = Image.new("L", (self._s(w + 2 * pad), self._s(h + 2 * pad)), 0)
        ImageDraw.Draw(m).rounded_rectangle(
            (self._s(pad - spread), self._s(pad - spread),
             self._s(pad + w + spread) - 1, self._s(pad + h + spread) - 1),
            self._s(radius + spread), fill=colour[3])
        m = m.filter(ImageFilter.GaussianBlur(self._s(blur)))
        solid = Image.new("RGB", m.size, colour[:3])
        self._paste(solid, (self._s(x - pad + offset[0]), self._s(y - pad + offset[1])), m)

    def glow(self, cx, cy, r, colour, blur):
        """A blurred round blob of light, for backgrounds."""
        self.shadow((cx - r, cy - r, 2 * r, 2 * r), r, blur, colour)

    def _paste(self, im, xy, mask):
        """Lay the RGB image im over the canvas at xy with coverage mask."""
        if self.hi.mode == "RGB":
            self.hi.paste(im, xy, mask)
            return
        over = Image.new("RGBA", self.hi.size, (0, 0, 0, 0))
        over.paste(im, xy)
        cover = Image.new("L", self.hi.size, 0)
        cover.paste(mask, xy)
        over.putalpha(cover)
        self.hi.alpha_composite(over)

    def layer(self, box, radius=0, opacity=1.0):
        """A transparent sub-canvas over box; merged back by merge(). With a
        radius the layer is clipped to the rounded box."""
        x, y, w, h = box
        sub = Canvas(w, h, None, x, y)
        sub.parent, sub.clip_radius, sub.opacity = self, radius, opacity
        return sub

    def merge(self):
        parent = self.parent
        a = self.hi.getchannel("A")
        if self.clip_radius:
            a = ImageChops.multiply(a, rounded_mask(a.size, self._s(self.clip_radius)))
        if self.opacity < 1:
            a = a.point(lambda v: round(v * self.opacity))
        parent._paste(self.hi.convert("RGB"), (self._s(self.ox), self._s(self.oy)), a)
        parent.texts += [(x + self.ox, y + self.oy, *rest) for (x, y, *rest) in self.texts]

    def image(self, im, x, y):
        """Paste an RGBA image already made at the large scale."""
        self._paste(im.convert("RGB"), (self._s(x), self._s(y)), im.getchannel("A"))

    # --- text (drawn at the final size after the shapes) ---

    def text(self, x, y, s, size, fill, anchor="la", bold=0):
        """bold: 0 regular, 1 slightly heavier, 2 heavy."""
        self.texts.append((x, y, s, size, fill, anchor, bold))

    def finish(self):
        im = self.hi.reduce(DOWN)
        d = ImageDraw.Draw(im, "RGBA")
        for x, y, s, size, fill, anchor, bold in self.texts:
            f = font(round(size * SCALE))
            at = (round(x * SCALE), round(y * SCALE))
            if bold == 2 and SCALE != int(SCALE):
                heavy_text_halved(im, at, s, size, fill, anchor)
            elif bold == 2:
                d.text(at, s, font=f, fill=fill, anchor=anchor, stroke_width=round(SCALE),
                       stroke_fill=fill)
            else:
                for dx in range(round(bold * SCALE) + 1):
                    d.text((at[0] + dx, at[1]), s, font=f, fill=fill, anchor=anchor)
        return im


def heavy_text_halved(im, at, s, size, fill, anchor):
    """Heavy text at a scale whose stroke is no whole pixel (1.5 pixels at 1.5x): drawn
    twice as large with a stroke of three and box-filtered down, so that it keeps the
    weight it has at 1x and 2x."""
    f = font(round(size * SCALE * 2))
    at2 = (at[0] * 2, at[1] * 2)
    left, top, right, bottom = ImageDraw.Draw(im).textbbox(at2, s, font=f, anchor=anchor, stroke_width=3)
    left, top = left - left % 2 - 2, top - top % 2 - 2
    box = Image.new("RGBA", (right - left + 4 + (right - left) % 2, bottom - top + 4 + (bottom - top) % 2),
                    (0, 0, 0, 0))
    ImageDraw.Draw(box).text((at2[0] - left, at2[1] - top), s, font=f, fill=fill, anchor=anchor,
                             stroke_width=3, stroke_fill=fill)
    box = box.reduce(2)
    colour = Image.new("RGB", box.size, tuple(fill[:3]))
    im.paste(colour, (left // 2, top // 2), box.getchannel("A"))


def save_png(im, path):
    im.save(path, "PNG", optimize=True)


# --------------------------------------------------------------------------
# Shared marks
# --------------------------------------------------------------------------

def beamed_notes(d, n, notes, head, stem_w, beam_t, swing, fill):
    """Two notes whose beam is a sound wave, on a canvas n wide: notes are (head centre x,
    head centre y, top of the stem) as fractions of n; head the two radii of a tilted head."""
    rx, ry = head
    tilt = math.radians(-25)
    reach = math.hypot(rx * math.cos(tilt), ry * math.sin(tilt))  # right edge of a head
    for cx, cy, top in notes:
        d.polygon([(n * (cx + rx * math.cos(a) * math.cos(tilt) - ry * math.sin(a) * math.sin(tilt)),
                    n * (cy + rx * math.cos(a) * math.sin(tilt) + ry * math.sin(a) * math.cos(tilt)))
                   for a in (i * math.pi / 36 for i in range(72))], fill=fill)
        d.rectangle((n * (cx + reach - stem_w), n * top, n * (cx + reach), n * cy), fill=fill)
    (xa, _, ya), (xb, _, yb) = notes
    xa, xb = xa + reach - stem_w, xb + reach
    upper, lower = [], []
    for i in range(49):
        u = i / 48
        x = xa + (xb - xa) * u
        y = ya + (yb - ya) * u - math.sin(u * 2 * math.pi) * swing
        upper.append((n * x, n * y))
        lower.append((n * x, n * (y + beam_t)))
    d.polygon(upper + lower[::-1], fill=fill)


def logo_image(px):
    """The program logo: two beamed notes whose beam is a sound wave, white on
    a violet-to-blue rounded square. Returns an RGBA image px wide, drawn at
    four times the size and box-filtered down."""
    k = 4
    n = px * k
    im = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    im.paste(gradient((n, n), mix(VIOLET, WHITE, 0.1), BLUE, angle=45), (0, 0),
             rounded_mask((n, n), round(n * 0.24)))
    d = ImageDraw.Draw(im)
    ink = WHITE + (255,)
    beamed_notes(d, n, [(0.33, 0.71, 0.30), (0.69, 0.63, 0.22)], head=(0.145, 0.105), stem_w=0.062,
                 beam_t=0.105, swing=0.05, fill=ink)
    return im.reduce(k)


def put_logo(cv, x, y, size, glow=None):
    if glow:
        cv.shadow((x, y, size, size), size * 0.24, size * 0.12, glow, offset=(0, size * 0.06))
    cv.image(logo_image(size * SS), x, y)


def maker_mark(cv, x, y, size, colour=JADE, facet_colour=alpha(WHITE, 0.35)):
    """The maker's mark: a faceted stone."""
    s = size
    outer = [(x + s * 0.5, y), (x + s, y + s * 0.32), (x + s * 0.86, y + s),
             (x + s * 0.14, y + s), (x, y + s * 0.32)]
    cv.polygon(outer, colour)
    facet = [(x + s * 0.5, y + s * 0.18), (x + s * 0.8, y + s * 0.4), (x + s * 0.5, y + s * 0.86),
             (x + s * 0.2, y + s * 0.4)]
    cv.polygon(facet, facet_colour)


def close_button(cv, box, fill, cross_colour):
    """A small rounded button with a drawn × centred in box."""
    x, y, w, h = box
    cv.rect(box, fill=fill, radius=min(w, h) * 0.32)
    cv.cross(x + w / 2, y + h / 2, min(w, h) * 0.2, cross_colour, 1.8)


def pseudo_qr(cv, x, y, module, seed, dark, light):
    """A 25×25 QR-like pattern with finder squares, timing rows and an
    alignment square; the data modules come from a fixed seed."""
    n = 25
    rng = random.Random(seed)
    grid = [[rng.random() < 0.5 for _ in range(n)] for _ in range(n)]

    def square(cx, cy, size):
        for j in range(size):
            for i in range(size):
                ring = max(abs(i - size // 2), abs(j - size // 2))
                grid[cy + j][cx + i] = ring != size // 2 - 1

    for cx, cy in ((0, 0), (n - 7, 0), (0, n - 7)):
        for j in range(-1, 8):  # blank separator around each finder
            for i in range(-1, 8):
                if 0 <= cx + i < n and 0 <= cy + j < n:
                    grid[cy + j][cx + i] = False
        square(cx, cy, 7)
    square(16, 16, 5)
    for i in range(8, n - 8):
        grid[6][i] = grid[i][6] = i % 2 == 0
    quiet = 2
    cv.rect((x, y, (n + 2 * quiet) * module, (n + 2 * quiet) * module), fill=light, radius=6)
    for j in range(n):
        for i in range(n):
            if grid[j][i]:
                cv.rect((x + (i + quiet) * module, y + (j + quiet) * module, module, module), fill=dark)
    return (n + 2 * quiet) * module


# --- glyphs, drawn in colour c inside an s×s square at x, y; cut-outs in hole ---

def glyph_sparkles(cv, x, y, s, c, hole):
    def star(cx, cy, r):
        k = r * 0.22
        cv.polygon([(cx, cy - r), (cx + k, cy - k), (cx + r, cy), (cx + k, cy + k),
                    (cx, cy + r), (cx - k, cy + k), (cx - r, cy), (cx - k, cy - k)], c)
    star(x + s * 0.42, y + s * 0.55, s * 0.4)
    star(x + s * 0.8, y + s * 0.2, s * 0.18)
    star(x + s * 0.82, y + s * 0.8, s * 0.12)


def glyph_editor(cv, x, y, s, c, hole):
    w = s * 0.1
    for i, length in enumerate((0.62, 0.5, 0.62, 0.36)):
        yy = y + s * (0.18 + i * 0.2)
        cv.line([(x + s * 0.1, yy), (x + s * (0.1 + length), yy)], c, w)
    # a pencil laid across the lines
    p0, p1 = (x + s * 0.52, y + s * 0.92), (x + s * 0.92, y + s * 0.5)
    cv.line([p0, p1], c, s * 0.16)
    cv.polygon([(p0[0] - s * 0.14, p0[1] + s * 0.06), (p0[0] - s * 0.04, p0[1] - s * 0.1),
                (p0[0] + s * 0.08, p0[1] + s * 0.02)], c)


def glyph_folder(cv, x, y, s, c, hole):
    cv.rect((x + s * 0.05, y + s * 0.15, s * 0.4, s * 0.2), fill=c, radius=s * 0.06)
    cv.rect((x + s * 0.05, y + s * 0.25, s * 0.9, s * 0.62), fill=c, radius=s * 0.09)
    # a note on the front of the folder
    cv.circle(x + s * 0.45, y + s * 0.7, s * 0.09, fill=hole)
    cv.rect((x + s * 0.5, y + s * 0.38, s * 0.05, s * 0.33), fill=hole)
    cv.polygon([(x + s * 0.55, y + s * 0.38), (x + s * 0.7, y + s * 0.45), (x + s * 0.7, y + s * 0.52),
                (x + s * 0.55, y + s * 0.46)], hole)


def glyph_gear(cv, x, y, s, c, hole):
    cx, cy = x + s / 2, y + s / 2
    pts = []
    teeth = 8
    for i in range(teeth * 4):
        a = (i / (teeth * 4)) * 2 * math.pi
        r = s * (0.48 if i % 4 in (1, 2) else 0.36)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    cv.polygon(pts, c)
    cv.circle(cx, cy, s * 0.15, fill=hole)


def glyph_info(cv, x, y, s, c, hole):
    cv.circle(x + s / 2, y + s / 2, s / 2, fill=c)
    cv.circle(x + s / 2, y + s * 0.28, s * 0.07, fill=hole)
    cv.rect((x + s * 0.44, y + s * 0.42, s * 0.12, s * 0.34), fill=hole, radius=s * 0.04)


def glyph_bars(cv, x, y, s, c, hole):
    for k, h in enumerate((0.45, 0.85, 0.6, 1.0, 0.4)):
        cv.rect((x + s * (0.02 + k * 0.2), y + s * (1 - h), s * 0.16, s * h), fill=c, radius=s * 0.08)


def glyph_stone(cv, x, y, s, c, hole):
    maker_mark(cv, x, y, s, c, hole)


def arrow(cv, cx, cy, s, c, width):
    cv.line([(cx - s, cy), (cx + s, cy)], c, width)
    cv.line([(cx + s * 0.4, cy - s * 0.6), (cx + s, cy), (cx + s * 0.4, cy + s * 0.6)], c, width)


def wave_lines(cv, box, c, count=3, width=2):
    x, y, w, h = box
    for k in range(count):
        pts = []
        for i in range(61):
            u = i / 60
            amp = h * (0.18 - k * 0.04)
            pts.append((x + w * u, y + h / 2 + math.sin(u * math.pi * 3 + k * 0.9) * amp))
        cv.line(pts, c, width)


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

    cv.text(W - 48, H - 50, "2025", 44, WHITE, anchor="rs", bold=2)
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

    button = (184, 208, 153, 41)  # click area
    cv.shadow(button, 12, 6, alpha(red, 0.35), offset=(0, 4))
    cv.fill_gradient(button, (242, 96, 108), (220, 58, 74), radius=12)
    cv.text(184 + 153 / 2, 208 + 41 / 2, "好的", 18, WHITE, anchor="mm", bold=1)
    return cv.finish()


def draw_notice():
    cv = Canvas(345, 99, (33, 38, 39))
    cv.rect((0, 0, 11, 99), fill=(63, 133, 225))
    return cv.finish()


def ink_span(s, size):
    """Where the ink of s starts and ends, from the left of its box: full-width marks
    such as 《 》 、 fill only part of their box."""
    im = Image.new("L", (round(text_width(s, size)) + 2 * size, 2 * size))
    ImageDraw.Draw(im).text((size, size), s, font=font(size), fill=255, anchor="lm")
    left, _, right, _ = im.getbbox()
    return left - size, right - size


def between(left, right, s, size):
    """The left of the box of the mark s set between two inks at left and right, with the
    room around it shared as plain type would share it: a mark such as 、 keeps to the
    left of its box."""
    x0, x1 = ink_span(s, size)
    before, after = x0 + size / 2, size - x1 + size / 2  # plain type: half a box each side
    room = right - left - (x1 - x0)
    return left + room * before / (before + after) - x0


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

    close_button(cv, (1240, 16, 33, 25), alpha(WHITE, 0.12) if dark else (204, 216, 242), ink)  # click area

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

    # AI创作: the tall tile, click area 176, 216, 265 × 401
    ly = tile((176, 216, 265, 401), VIOLET, BLUE, highlight=True)
    ly.circle(240, 30, 110, fill=alpha(WHITE, 0.07))
    wave_lines(ly, (0, 210, 265, 120), alpha(WHITE, 0.16), count=3, width=2)
    ly.rect((26, 26, 92, 30), fill=alpha(WHITE, 0.2), radius=15)
    ly.text(26 + 46, 41, "OrvaneX", 14, WHITE, anchor="mm", bold=1)
    glyph_sparkles(ly, 34, 96, 108, WHITE, None)
    tile_text(ly, 401, "AI创作", "通过OrvaneX模型创作", size=36)
    ly.merge()

    # banner to the about window, click area 464, 216, 617 × 81
    ly = tile((464, 216, 617, 81), (44, 110, 214), (86, 152, 242))
    wave_lines(ly, (300, 5, 240, 71), alpha(WHITE, 0.13), count=2, width=2)
    glyph_info(ly, 24, 20, 41, WHITE, (58, 124, 224) if not dark else (62, 50, 96))
    ly.text(82, 40.5, "关于 Orvane & " + MAKER, 22, WHITE, anchor="lm", bold=2)
    ly.circle(617 - 44, 40.5, 20, fill=alpha(WHITE, 0.18))
    arrow(ly, 617 - 44, 40.5, 8, WHITE, 2.6)
    ly.merge()

    # editor, works and settings: three tiles of one size, evenly spaced between the
    # edges of the banner, each inside its click area (464, 328, 193 × 289;
    # 672, 328, 201 × 289; 880, 320, 201 × 297)
    pitch = (617 - 193) / 2
    small = [
        ((464, 328, 193, 289), (40, 118, 226), (78, 156, 246), "编辑器", "通过编辑器创作音乐",
         (52, 160, 240), glyph_editor),
        ((464 + pitch, 328, 193, 289), (30, 130, 212), (68, 172, 240), "我的作品", "打开输出文件夹",
         (36, 186, 186), glyph_folder),
        ((464 + 2 * pitch, 328, 193, 289), (66, 104, 216), (100, 140, 240), "设置", "打开Orvane设置",
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

    # footer: each link lies inside its click area (384, 712, 137 × 25 and
    # 552, 712, 145 × 25), the ink of the two brackets at the facing edges, and the
    # rest of the line is set around them as close as the areas allow
    fy, fs = 724.5, 14
    agreement, privacy = "《Orvane用户协议》", "《Orvane隐私政策》"
    before, after = "请遵守", "，基于OrvaneX模型，版本：V1.0.0"
    a_left = 384 + 137 - 1 - ink_span(agreement, fs)[1]
    a_right = a_left + text_width(agreement, fs)
    p_left = 552 - ink_span(privacy, fs)[0]
    p_right = p_left + text_width(privacy, fs)
    cv.text(a_left, fy, before, fs, faint, anchor="rm")
    cv.text(a_left, fy, agreement, fs, link, anchor="lm")
    cv.text(between(a_left + ink_span(agreement, fs)[1], 552, "、", fs), fy, "、", fs, faint, anchor="lm")
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
    close_button(cv, (808, 32, 25, 25), alpha(WHITE, 0.12), ink)  # click area
    cv.rect((40, 80, 778, 1), fill=alpha(WHITE, 0.1))

    # the product
    cv.rect((40, 108, 440, 210), fill=alpha(WHITE, 0.06), outline=alpha(WHITE, 0.12), radius=18)
    put_logo(cv, 68, 136, 96, glow=alpha(VIOLET, 0.5))
    cv.text(186, 140, "奥文Orvane", 36, ink, bold=2)
    cv.text(188, 192, SLOGAN, 15, soft)
    cv.rect((188, 226, 48, 4), fill=VIOLET, radius=2)
    cv.rect((240, 226, 14, 4), fill=BLUE, radius=2)
    cv.text(68, 262, "由" + MAKER + "开发", 15, soft)
    cv.text(68, 286, "基于OrvaneX模型 · 版本 V1.0.0", 13, faint)

    # the version mark
    card = (500, 108, 318, 210)
    cv.shadow(card, 18, 18, alpha(VIOLET, 0.35), offset=(0, 8))
    cv.fill_gradient(card, VIOLET, BLUE, angle=45, radius=18, opacity=0.9)
    ly = cv.layer(card, radius=18)
    ly.circle(300, 10, 120, fill=alpha(WHITE, 0.08))
    wave_lines(ly, (0, 150, 318, 70), alpha(WHITE, 0.14), count=2, width=2)
    ly.text(28, 36, "版本", 16, (255, 255, 255, 220), anchor="lm")
    ly.text(22, 146, "1.0", 104, WHITE, anchor="ls", bold=2)
    ly.text(30, 176, "Orvane 正式版", 15, (255, 255, 255, 220), anchor="lm")
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
    cv.text(818, 594, "© 2025 " + MAKER, 12, faint, anchor="rm")
    return cv.finish()


def write_icon(path, sizes=(16, 24, 32, 48, 64, 256)):
    """A Windows icon with every size drawn on its own: 32-bit DIB entries
    for the small sizes, a PNG entry for 256."""
    entries = []
    for px in sizes:
        im = logo_image(px)
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
    import setup_art  # the welcome window and the setup steps
    pictures.update(setup_art.PICTURES)
    import account_art  # the login and settings pictures; it draws with the helpers above
    pictures.update(account_art.PICTURES)
    import editor_art  # the score editor
    pictures.update(editor_art.PICTURES)
    suffix = SCALES[f"{SCALE:g}"]
    for name, make in pictures.items():
        if SCALE == 1.5 and not name.startswith(AT_ONE_AND_A_HALF):
            continue
        save_png(make().convert("RGB"), os.path.join(out_dir, name.replace(".png", suffix + ".png")))
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
