"""The drawing kit of the window pictures: the canvas that draws at several scales,
colours, fonts, shared marks and glyphs. tools/art/make_art.py and the picture modules of
each window (setup_art, account_art, editor_art) draw with it.

The drawing code keeps its 1x coordinates; the kit (Canvas, put_logo, SS) scales them, so
that a picture shows the same content at every scale. One process draws one scale
(ORVANE_ART_SCALE), since the module-level factors below are read at import.
"""

import math
import os
import random
import struct
import sys
import zlib
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

# The windows' click areas and boxes, read from their layout tables as the tests read them.
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
import layouts  # noqa: E402

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
# The year of the first release, as the splash shows it; the copyright of every picture,
# version resource and the installer names the same year (tests/art checks it).
YEAR = "2025"


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


PNG_COLOUR_TYPES = {"L": 0, "RGB": 2, "LA": 4, "RGBA": 6}


def save_png(im, path):
    """Writes the picture with its rows unfiltered. The decoder of the imaging component
    then skips the row filters: a picture as large as the splash at 2x decodes in about
    two thirds of the time, and these flat drawings come out no larger."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    stride = im.width * len(im.getbands())
    raw = im.tobytes()
    rows = b"".join(b"\0" + raw[y * stride:(y + 1) * stride] for y in range(im.height))
    header = struct.pack(">IIBBBBB", im.width, im.height, 8, PNG_COLOUR_TYPES[im.mode], 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
                chunk(b"IEND", b""))


def save_runs(im, path):
    """Writes an RGB picture as runs of pixels, which the program draws with no decoder:
    "RUNS", the width and the height (32-bit, little-endian), then each row as operations
    on 3-byte pixels in B, G, R order, none crossing the row's end. An operation's first
    byte n: below 128, n + 1 pixels follow as they are; from 128, the one pixel that
    follows stands n - 126 times (2 to 129)."""
    w, h = im.size
    pixels = im.convert("RGB").tobytes("raw", "BGR")
    out = bytearray(b"RUNS" + struct.pack("<II", w, h))
    for y in range(h):
        row = pixels[y * w * 3:(y + 1) * w * 3]
        x, single = 0, bytearray()
        while x < w:
            pixel = row[x * 3:x * 3 + 3]
            end = x + 1
            while end < w and end - x < 129 and row[end * 3:end * 3 + 3] == pixel:
                end += 1
            if end - x == 1:
                single += pixel
                if len(single) == 128 * 3:
                    out += bytes([127]) + single
                    single = bytearray()
            else:
                if single:
                    out += bytes([len(single) // 3 - 1]) + single
                    single = bytearray()
                out += bytes([end - x + 126]) + pixel
            x = end
        if single:
            out += bytes([len(single) // 3 - 1]) + single
    with open(path, "wb") as f:
        f.write(out)


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


# The logo at 16 pixels, the windows' small icon, drawn on the pixel grid: the notes of
# logo_image() shrunk to 16 pixels would be a blur. "#" is the white ink, "+" half of it.
SMALL_LOGO_INK = (
    "................",
    "................",
    "................",
    ".......######...",
    ".......######...",
    ".......#....#...",
    ".......#....#...",
    ".......#....#...",
    ".......#....#...",
    ".......#..+##...",
    ".....+##.####...",
    "....####.###+...",
    "....###+........",
    "................",
    "................",
    "................",
)


def small_logo_image():
    """The program logo at 16 x 16 pixels: the rounded square of logo_image() with the
    notes set pixel by pixel."""
    square = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
    square.paste(gradient((64, 64), mix(VIOLET, WHITE, 0.1), BLUE, angle=45), (0, 0),
                 rounded_mask((64, 64), round(64 * 0.24)))
    im = square.reduce(4)
    for y, row in enumerate(SMALL_LOGO_INK):
        for x, mark in enumerate(row):
            if mark != ".":
                r, g, b, a = im.getpixel((x, y))
                t = 1.0 if mark == "#" else 0.5
                im.putpixel((x, y), (*mix((r, g, b), WHITE, t), a))
    return im


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
