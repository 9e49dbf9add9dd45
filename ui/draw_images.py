#!/usr/bin/env python3
"""Draws the window's pictures for the resource script: the toolbar strip
(three 46 x 32 buttons: choose sources, run, clear) as an 8-bit bitmap whose
light gray the toolbar maps to the button face, and the program icon (32 x 32
and 16 x 16) and the title-bar icon (16 x 16).

    draw_images.py OUTPUT_FOLDER   -> toolbar.bmp, mizenta.ico, title.ico
"""
import os
import struct
import sys

FACE = (192, 192, 192)  # becomes the button face colour
BLACK, GRAY, WHITE = (0, 0, 0), (128, 128, 128), (255, 255, 255)
YELLOW, OCHRE = (255, 214, 90), (176, 128, 32)
BLUE, NAVY = (60, 110, 200), (20, 40, 110)
GREEN, DARK_GREEN = (40, 170, 60), (20, 100, 30)
RED, DARK_RED = (220, 40, 40), (130, 20, 20)


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def box(self, x0, y0, x1, y1, colour, edge=None):
        """Filled rectangle from (x0, y0) to (x1, y1) inclusive, optionally framed."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                framed = edge and (x in (x0, x1) or y in (y0, y1))
                self.put(x, y, edge if framed else colour)

    def line(self, x0, y0, x1, y1, colour, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            for dy in range(width):
                for dx in range(width):
                    self.put(round(x) + dx - width // 2, round(y) + dy - width // 2, colour)

    def triangle(self, points, colour):
        """Filled triangle: every pixel centre inside the three edges."""
        (ax, ay), (bx, by), (cx, cy) = points
        def side(px, py, qx, qy, x, y):
            return (qx - px) * (y - py) - (qy - py) * (x - px)
        for y in range(self.height):
            for x in range(self.width):
                s = [side(ax, ay, bx, by, x + .5, y + .5), side(bx, by, cx, cy, x + .5, y + .5),
                     side(cx, cy, ax, ay, x + .5, y + .5)]
                if all(v >= 0 for v in s) or all(v <= 0 for v in s):
                    self.put(x, y, colour)

    def ring(self, cx, cy, radius, colour, width):
        for y in range(self.height):
            for x in range(self.width):
                d = ((x + .5 - cx) ** 2 + (y + .5 - cy) ** 2) ** .5
                if radius - width <= d <= radius:
                    self.put(x, y, colour)

    def paste(self, other, left):
        for y in range(other.height):
            for x in range(other.width):
                self.put(left + x, y, other.pixels[y][x])


def sheet(c, x0, y0, x1, y1):
    """A page of text: white, framed, with gray lines."""
    c.box(x0, y0, x1, y1, WHITE, GRAY)
    for y in range(y0 + 4, y1 - 2, 4):
        c.line(x0 + 3, y, x1 - 3, y, GRAY)


def choose_sources():
    c = Canvas(46, 32, FACE)
    c.box(8, 6, 20, 10, OCHRE)           # the folder's tab
    sheet(c, 14, 3, 32, 20)              # a source peeking out
    c.box(8, 10, 38, 28, YELLOW, OCHRE)  # the folder
    return c


def run_analysis():
    c = Canvas(46, 32, FACE)
    c.line(10, 9, 10, 24, NAVY)          # the call tree's spine
    for y in (16, 24):
        c.line(10, y, 16, y, NAVY)
    c.box(5, 4, 15, 9, BLUE, NAVY)
    c.box(16, 13, 26, 19, BLUE, NAVY)
    c.box(16, 21, 26, 27, BLUE, NAVY)
    c.triangle([(30, 8), (30, 24), (41, 16)], GREEN)
    c.line(30, 8, 41, 16, DARK_GREEN)
    c.line(30, 24, 41, 16, DARK_GREEN)
    c.line(30, 8, 30, 24, DARK_GREEN)
    return c


def clear_list():
    c = Canvas(46, 32, FACE)
    sheet(c, 10, 3, 30, 28)
    c.line(18, 10, 36, 28, DARK_RED, 5)
    c.line(36, 10, 18, 28, DARK_RED, 5)
    c.line(18, 10, 36, 28, RED, 3)
    c.line(36, 10, 18, 28, RED, 3)
    return c


def program_icon(size):
    """A blue tile with a call tree under a magnifying glass."""
    c = Canvas(size, size, None)
    s = size / 32
    c.box(0, 0, size - 1, size - 1, BLUE, NAVY)
    for x, y in ((0, 0), (1, 0), (0, 1)):  # rounded corners
        for cx, cy in ((x, y), (size - 1 - x, y), (x, size - 1 - y), (size - 1 - x, size - 1 - y)):
            c.put(cx, cy, None)
    c.line(round(8 * s), round(7 * s), round(8 * s), round(24 * s), WHITE, max(1, round(2 * s)))
    for y in (14, 22):
        c.line(round(8 * s), round(y * s), round(15 * s), round(y * s), WHITE, max(1, round(2 * s)))
    c.ring(19 * s, 17 * s, 8 * s, YELLOW, max(1.5, 3 * s))
    c.line(round(25 * s), round(23 * s), round(29 * s), round(28 * s), YELLOW, max(1, round(3 * s)))
    return c


def bitmap_8bit(c):
    """BMP, 8 bits a pixel, bottom-up rows padded to four bytes."""
    palette = sorted({p for row in c.pixels for p in row})
    index = {p: i for i, p in enumerate(palette)}
    stride = (c.width + 3) & ~3
    rows = b"".join(bytes(index[p] for p in row) + b"\0" * (stride - c.width)
                    for row in reversed(c.pixels))
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height, 1, 8, 0, len(rows), 2835, 2835,
                       len(palette), 0)
    offset = 14 + len(info) + len(table)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + table + rows


def icon_image(c):
    """One icon entry: a 32-bit colour image (alpha 0 where nothing is drawn)
    with its AND mask, stored bottom-up with a doubled height."""
    colour = b"".join(struct.pack("<BBBB", p[2], p[1], p[0], 255) if p else b"\0\0\0\0"
                      for row in reversed(c.pixels) for p in row)
    mask_stride = ((c.width + 31) // 32) * 4
    mask = b""
    for row in reversed(c.pixels):
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (mask_stride * 8 - 1 - x)
        mask += bits.to_bytes(mask_stride, "big")
    info = struct.pack("<IiiHHIIiiII", 40, c.width, 2 * c.height, 1, 32, 0,
                       len(colour) + len(mask), 0, 0, 0, 0)
    return info + colour + mask


def icon_file(canvases):
    images = [icon_image(c) for c in canvases]
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = len(head) + 16 * len(images)
    entries = b""
    for c, image in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32,
                               len(image), offset)
        offset += len(image)
    return head + entries + b"".join(images)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    strip = Canvas(3 * 46, 32, FACE)
    for i, draw in enumerate((choose_sources, run_analysis, clear_list)):
        strip.paste(draw(), 46 * i)
    with open(os.path.join(out, "toolbar.bmp"), "wb") as f:
        f.write(bitmap_8bit(strip))
    with open(os.path.join(out, "mizenta.ico"), "wb") as f:
        f.write(icon_file([program_icon(32), program_icon(16)]))
    with open(os.path.join(out, "title.ico"), "wb") as f:
        f.write(icon_file([program_icon(16)]))


if __name__ == "__main__":
    main()
