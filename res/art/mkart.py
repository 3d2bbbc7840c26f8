#!/usr/bin/env python3
"""Build VELDAR's icons, bitmaps and cursor from text pixel maps.

Usage: python3 mkart.py SOURCE.txt OUT.ico|OUT.bmp|OUT.cur

The extension of the output chooses the format, which must agree with the
format the source names for itself (the build reads that line to name the
output).  A source file reads:

    # comment
    format: bmp                 (ico, bmp or cur; ico unless given)
    colors                      legend: one character per colour
      .  transparent            (icons and cursors only)
      ~  inverse                (cursors only: inverts the screen)
      K  black                  a colour of the 16-colour VGA palette
      Q  #C0C0C0                or its value in hexadecimal
    hotspot 15 0                (cursors only; x y from the top left)
    bits 24                     (bitmaps only; 4 unless given)
    image 32x32
    ................            one line per row, one character per pixel
    image 16x16
    ...

An icon holds every image of the source, as 16-colour images with an AND
mask; a bitmap takes the single image; a cursor takes a single 32 x 32 image
of black, white, transparent and inverse pixels.  Blank lines and lines
starting with '#' are ignored outside the pixel rows, and a row may be
followed by blanks and a '#' comment.
"""

import struct
import sys

# The standard palette of 16-colour Windows, in palette order.
VGA = [
    ("black", 0x000000), ("maroon", 0x800000), ("green", 0x008000),
    ("olive", 0x808000), ("navy", 0x000080), ("purple", 0x800080),
    ("teal", 0x008080), ("silver", 0xC0C0C0), ("gray", 0x808080),
    ("red", 0xFF0000), ("lime", 0x00FF00), ("yellow", 0xFFFF00),
    ("blue", 0x0000FF), ("fuchsia", 0xFF00FF), ("aqua", 0x00FFFF),
    ("white", 0xFFFFFF),
]
VGA_NAMES = {name: rgb for name, rgb in VGA}
VGA_INDEX = {rgb: i for i, (_, rgb) in enumerate(VGA)}

TRANSPARENT = "transparent"
INVERSE = "inverse"


class ArtError(Exception):
    pass


class Source:
    def __init__(self):
        self.colors = {}        # char -> rgb int, TRANSPARENT or INVERSE
        self.images = []        # (width, height, [row strings])
        self.hotspot = None
        self.bits = 4
        self.format = "ico"


def parse_color(text, where):
    text = text.lower()
    if text in (TRANSPARENT, INVERSE):
        return text
    if text in VGA_NAMES:
        return VGA_NAMES[text]
    if text.startswith("#") and len(text) == 7:
        try:
            return int(text[1:], 16)
        except ValueError:
            pass
    raise ArtError("%s: unknown colour %r" % (where, text))


def parse(text, name="<source>"):
    src = Source()
    lines = text.splitlines()
    i = 0
    in_colors = False
    while i < len(lines):
        line = lines[i]
        where = "%s:%d" % (name, i + 1)
        i += 1
        stripped = line.strip()
        if not stripped or stripped.startswith("#"):
            continue
        words = stripped.split()
        if in_colors and line[:1].isspace():
            if len(words) < 2 or len(words[0]) != 1:
                raise ArtError("%s: expected 'CHAR COLOUR'" % where)
            if words[0] in src.colors:
                raise ArtError("%s: %r is defined twice" % (where, words[0]))
            src.colors[words[0]] = parse_color(words[1], where)
            continue
        in_colors = False
        if words[0] == "colors":
            in_colors = True
        elif words[0] == "format:" and len(words) == 2:
            src.format = words[1].lower()
            if "." + src.format not in BUILDERS:
                raise ArtError("%s: unknown format %r" % (where, words[1]))
        elif words[0] == "hotspot" and len(words) == 3:
            src.hotspot = (int(words[1]), int(words[2]))
        elif words[0] == "bits" and len(words) == 2:
            src.bits = int(words[1])
            if src.bits not in (4, 24):
                raise ArtError("%s: bitmaps have 4 or 24 bits" % where)
        elif words[0] == "image" and len(words) == 2:
            try:
                w, h = (int(v) for v in words[1].lower().split("x"))
            except ValueError:
                raise ArtError("%s: expected 'image WxH'" % where)
            if not (0 < w <= 256 and 0 < h <= 256):
                raise ArtError("%s: image size out of range" % where)
            rows = []
            while len(rows) < h:
                if i >= len(lines):
                    raise ArtError("%s: image ends after %d of %d rows"
                                   % (where, len(rows), h))
                row = lines[i].split(" ", 1)[0]
                i += 1
                if len(row) != w:
                    raise ArtError("%s:%d: row is %d pixels wide, not %d"
                                   % (name, i, len(row), w))
                rows.append(row)
            src.images.append((w, h, rows))
        else:
            raise ArtError("%s: cannot read %r" % (where, stripped))
    if not src.images:
        raise ArtError("%s: no image" % name)
    for w, h, rows in src.images:
        for row in rows:
            for ch in row:
                if ch not in src.colors:
                    raise ArtError("%s: pixel %r has no colour" % (name, ch))
    return src


def row_bytes(width, bits):
    """Bytes of one DIB row, padded to a 32-bit boundary."""
    return (width * bits + 31) // 32 * 4


def pack_rows(rows, bits, value):
    """Bottom-up DIB rows of 1 or 4 bits per pixel; value(ch) is the pixel."""
    out = bytearray()
    per_byte = 8 // bits
    for row in reversed(rows):
        line = bytearray(row_bytes(len(row), bits))
        for x, ch in enumerate(row):
            shift = 8 - bits * (x % per_byte + 1)
            line[x // per_byte] |= value(ch) << shift
        out += line
    return bytes(out)


def rgbquad(rgb):
    return struct.pack("<BBBB", rgb & 0xFF, (rgb >> 8) & 0xFF, rgb >> 16, 0)


def info_header(width, height, bits, image_size, colors_used):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                       image_size, 0, 0, colors_used, 0)


def palette_index(src, ch):
    color = src.colors[ch]
    if color in (TRANSPARENT, INVERSE):
        return None
    if color not in VGA_INDEX:
        raise ArtError("colour #%06X of %r is not in the 16-colour palette"
                       % (color, ch))
    return VGA_INDEX[color]


def icon_image(src, w, h, rows):
    """One icon image: header (height doubled), palette, XOR bits, AND mask."""
    def xor(ch):
        index = palette_index(src, ch)
        return 0 if index is None else index

    def mask(ch):
        return 1 if src.colors[ch] == TRANSPARENT else 0

    for row in rows:
        for ch in row:
            if src.colors[ch] == INVERSE:
                raise ArtError("icons have no inverse pixels")
    xor_bits = pack_rows(rows, 4, xor)
    and_bits = pack_rows(rows, 1, mask)
    return (info_header(w, 2 * h, 4, len(xor_bits) + len(and_bits), 16)
            + b"".join(rgbquad(rgb) for _, rgb in VGA)
            + xor_bits + and_bits)


def build_ico(src):
    images = [icon_image(src, w, h, rows) for w, h, rows in src.images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (w, h, _), data in zip(src.images, images):
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 16, 0, 1, 4,
                           len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def build_cur(src):
    if len(src.images) != 1:
        raise ArtError("a cursor has exactly one image")
    w, h, rows = src.images[0]
    if (w, h) != (32, 32):
        raise ArtError("a cursor is 32 x 32")
    if src.hotspot is None:
        raise ArtError("a cursor needs a hotspot")
    hx, hy = src.hotspot
    if not (0 <= hx < w and 0 <= hy < h):
        raise ArtError("the hotspot lies outside the image")

    # A monochrome cursor is drawn by AND-ing its mask onto the screen and
    # then XOR-ing its picture: transparent keeps the screen (AND 1, XOR 0),
    # inverse flips it (AND 1, XOR 1), black and white replace it (AND 0).
    def planes(ch):
        color = src.colors[ch]
        if color == TRANSPARENT:
            return (1, 0)
        if color == INVERSE:
            return (1, 1)
        if color == 0x000000:
            return (0, 0)
        if color == 0xFFFFFF:
            return (0, 1)
        raise ArtError("a cursor has only black, white, transparent "
                       "and inverse pixels")

    xor_bits = pack_rows(rows, 1, lambda ch: planes(ch)[1])
    and_bits = pack_rows(rows, 1, lambda ch: planes(ch)[0])
    data = (info_header(w, 2 * h, 1, len(xor_bits) + len(and_bits), 2)
            + rgbquad(0x000000) + rgbquad(0xFFFFFF) + xor_bits + and_bits)
    return (struct.pack("<HHH", 0, 2, 1)
            + struct.pack("<BBBBHHII", w, h, 2, 0, hx, hy, len(data), 22)
            + data)


def build_bmp(src):
    if len(src.images) != 1:
        raise ArtError("a bitmap has exactly one image")
    w, h, rows = src.images[0]
    for row in rows:
        for ch in row:
            if src.colors[ch] in (TRANSPARENT, INVERSE):
                raise ArtError("a bitmap has no transparent pixels")
    if src.bits == 4:
        pixels = pack_rows(rows, 4, lambda ch: palette_index(src, ch))
        palette = b"".join(rgbquad(rgb) for _, rgb in VGA)
    else:
        pixels = bytearray()
        for row in reversed(rows):
            line = bytearray(row_bytes(w, 24))
            for x, ch in enumerate(row):
                rgb = src.colors[ch]
                line[3 * x:3 * x + 3] = bytes(
                    (rgb & 0xFF, (rgb >> 8) & 0xFF, rgb >> 16))
            pixels += line
        pixels = bytes(pixels)
        palette = b""
    header = info_header(w, h, src.bits, len(pixels), 16 if palette else 0)
    offset = 14 + len(header) + len(palette)
    return (struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
            + header + palette + pixels)


BUILDERS = {".ico": build_ico, ".cur": build_cur, ".bmp": build_bmp}


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: mkart.py SOURCE.txt OUT.ico|OUT.bmp|OUT.cur\n")
        return 2
    source, target = argv[1], argv[2]
    ext = target[target.rfind("."):].lower() if "." in target else ""
    if ext not in BUILDERS:
        sys.stderr.write("mkart.py: %s: unknown output format\n" % target)
        return 2
    try:
        with open(source, encoding="utf-8") as f:
            src = parse(f.read(), source)
        if "." + src.format != ext:
            raise ArtError("%s is drawn as .%s, not %s"
                           % (source, src.format, ext))
        data = BUILDERS[ext](src)
    except (OSError, ArtError) as e:
        sys.stderr.write("mkart.py: %s\n" % e)
        return 1
    with open(target, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
