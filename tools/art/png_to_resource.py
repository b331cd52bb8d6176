#!/usr/bin/env python3
"""Turns the PNGs rsvg-convert renders from tools/art/*.svg into the files the
executable carries: 24-bit and 8-bit (palette) BMPs and a multi-size icon.

    png_to_resource.py bmp24 IN.png OUT.bmp
    png_to_resource.py bmp8  IN.png OUT.bmp
    png_to_resource.py ico   OUT.ico IN16.png IN32.png ...

Python's standard library only (zlib for the PNG data), integer arithmetic
throughout, so the same PNGs always give the same bytes.
"""
import struct
import sys
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
PIXELS_PER_METRE = 3780  # 96 dpi


class Image:
    """Straight-alpha RGBA pixels, rows top to bottom, as (r, g, b, a) tuples."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels

    def row(self, y):
        return self.pixels[y * self.width:(y + 1) * self.width]


def fail(message):
    sys.stderr.write("png_to_resource: %s\n" % message)
    sys.exit(1)


# ---------------------------------------------------------------- PNG ----

def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(data, width, height, channels):
    stride = width * channels
    out = bytearray()
    previous = bytearray(stride)
    at = 0
    for _ in range(height):
        kind = data[at]
        line = bytearray(data[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                upper_left = previous[i - channels] if i >= channels else 0
                line[i] = (line[i] + paeth(left, up, upper_left)) & 0xFF
            elif kind != 0:
                fail("unknown PNG filter %d" % kind)
        out += line
        previous = line
    return out


def read_png(path):
    """8-bit RGB or RGBA, not interlaced: what rsvg-convert writes."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != PNG_SIGNATURE:
        fail("%s is not a PNG" % path)
    at = 8
    header = None
    compressed = bytearray()
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        at += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
    if header is None:
        fail("%s has no IHDR" % path)
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        fail("%s: only 8-bit RGB or RGBA without interlacing" % path)
    channels = 4 if colour == 6 else 3
    raw = unfilter(zlib.decompress(bytes(compressed)), width, height, channels)
    pixels = []
    for i in range(0, len(raw), channels):
        a = raw[i + 3] if channels == 4 else 255
        pixels.append((raw[i], raw[i + 1], raw[i + 2], a))
    return Image(width, height, pixels)


def over_black(pixel):
    """Where the picture is see-through the screen behind it is black."""
    r, g, b, a = pixel
    return ((r * a + 127) // 255, (g * a + 127) // 255, (b * a + 127) // 255)


# ---------------------------------------------------------------- BMP ----

def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def info_header(width, height, bits, image_bytes, colours):
    # BITMAPINFOHEADER, BI_RGB; a positive height stores the rows bottom-up.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_bytes,
                       PIXELS_PER_METRE, PIXELS_PER_METRE, colours, 0)


def file_header(file_size, pixels_at):
    return b"BM" + struct.pack("<IHHI", file_size, 0, 0, pixels_at)


def bmp24(image):
    row_bytes = stride(image.width, 24)
    body = bytearray()
    for y in range(image.height - 1, -1, -1):
        line = bytearray()
        for pixel in image.row(y):
            r, g, b = over_black(pixel)
            line += bytes((b, g, r))
        body += line + bytes(row_bytes - len(line))
    return file_header(54 + len(body), 54) + info_header(image.width, image.height, 24, len(body), 0) + body


def median_cut(counts, limit):
    """At most `limit` colours for the histogram `counts` {rgb: n}: split the
    box with the widest channel at its pixel median until there are enough,
    then take each box's pixel-weighted mean."""
    boxes = [sorted(counts)]
    while len(boxes) < limit:
        best, best_range, best_channel = None, 0, 0
        for index, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [c[channel] for c in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, best_channel = index, spread, channel
        if best is None:
            break
        box = sorted(boxes[best], key=lambda c: (c[best_channel], c))
        total = sum(counts[c] for c in box)
        running, cut = 0, 1
        for i, c in enumerate(box[:-1]):
            running += counts[c]
            cut = i + 1
            if running * 2 >= total:
                break
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        n = sum(counts[c] for c in box)
        palette.append(tuple((sum(c[k] * counts[c] for c in box) + n // 2) // n for k in range(3)))
    return sorted(set(palette), key=lambda c: (c[0] * 299 + c[1] * 587 + c[2] * 114, c))


def nearest(palette, colour):
    best, best_distance = 0, None
    for index, p in enumerate(palette):
        d = (p[0] - colour[0]) ** 2 * 3 + (p[1] - colour[1]) ** 2 * 4 + (p[2] - colour[2]) ** 2 * 2
        if best_distance is None or d < best_distance:
            best, best_distance = index, d
    return best


def bmp8(image):
    colours = [over_black(p) for p in image.pixels]
    counts = {}
    for c in colours:
        counts[c] = counts.get(c, 0) + 1
    if len(counts) <= 256:
        palette = sorted(counts, key=lambda c: (c[0] * 299 + c[1] * 587 + c[2] * 114, c))
    else:
        palette = median_cut(counts, 256)
    index_of = {c: nearest(palette, c) for c in counts}
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    row_bytes = stride(image.width, 8)
    body = bytearray()
    for y in range(image.height - 1, -1, -1):
        line = bytes(index_of[c] for c in colours[y * image.width:(y + 1) * image.width])
        body += line + bytes(row_bytes - len(line))
    pixels_at = 54 + len(table)
    return (file_header(pixels_at + len(body), pixels_at) +
            info_header(image.width, image.height, 8, len(body), len(palette)) + table + body)


# ---------------------------------------------------------------- ICO ----

def icon_dib(image):
    """A 32-bit BGRA image and its AND mask (set where the icon is clear);
    the height counts both halves, as icon files do."""
    colour = bytearray()
    for y in range(image.height - 1, -1, -1):
        for r, g, b, a in image.row(y):
            colour += bytes((b, g, r, a)) if a else bytes(4)
    mask_row = stride(image.width, 1)
    mask = bytearray()
    for y in range(image.height - 1, -1, -1):
        line = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(image.row(y)):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return info_header(image.width, image.height * 2, 32, 0, 0) + colour + mask


def ico(images):
    dibs = [icon_dib(image) for image in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for image, dib in zip(images, dibs):
        if image.width > 256 or image.height > 256:
            fail("icon images are at most 256 pixels")
        out += struct.pack("<BBBBHHII", image.width % 256, image.height % 256, 0, 0, 1, 32, len(dib), offset)
        offset += len(dib)
    for dib in dibs:
        out += dib
    return bytes(out)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) == 4 and argv[1] in ("bmp24", "bmp8"):
        image = read_png(argv[2])
        write(argv[3], bmp24(image) if argv[1] == "bmp24" else bmp8(image))
    elif len(argv) >= 4 and argv[1] == "ico":
        write(argv[2], ico([read_png(path) for path in argv[3:]]))
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
