#!/usr/bin/env python3
"""Draws the Brisko application icon and writes it as brisko.ico.

The icon holds two images, 32x32 and 16x16, each with 16 colours
(4 bits per pixel, BMP-style image with an AND mask), so that every
Windows shell can show it without colour reduction.  The picture is a
white envelope with a yellow arrow below it on a blue rounded square:
a message being sent on.

The build uses the committed brisko.ico; run this script only to change
the picture:  python3 make_icon.py [OUTPUT.ico]
Standard library only.
"""

import os
import struct
import sys

# The standard 16-colour palette, in its usual index order (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 maroon
    (0x00, 0x80, 0x00),  # 2 green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]
BLACK, NAVY, SILVER, GREY, YELLOW, BLUE, WHITE = 0, 4, 7, 8, 11, 12, 15
TRANSPARENT = None  # a pixel left to the AND mask

# Geometry of each image size: everything the drawing needs, in pixels.
LAYOUTS = {
    32: {
        "corner": 4,
        "envelope": (4, 5, 27, 20),        # left, top, right, bottom
        "flap_depth": 9,
        "arrow_shaft": (7, 24, 20, 26),    # left, top, right, bottom
        "arrow_head": (21, 21, 29),        # base x, top y, bottom y
    },
    16: {
        "corner": 2,
        "envelope": (2, 2, 13, 9),
        "flap_depth": 4,
        "arrow_shaft": (3, 12, 9, 13),
        "arrow_head": (10, 10, 15),
    },
}


def new_canvas(size):
    return [[TRANSPARENT] * size for _ in range(size)]


def outside_rounded_square(x, y, size, radius):
    """True for pixels cut away by the rounded corners."""
    cx = min(max(x, radius), size - 1 - radius)
    cy = min(max(y, radius), size - 1 - radius)
    dx, dy = x - cx, y - cy
    return dx * dx + dy * dy > radius * radius


def draw_background(canvas, size, radius):
    for y in range(size):
        for x in range(size):
            if outside_rounded_square(x, y, size, radius):
                continue
            border = any(
                outside_rounded_square(nx, ny, size, radius)
                or not (0 <= nx < size and 0 <= ny < size)
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))
            canvas[y][x] = NAVY if border else BLUE


def draw_line(canvas, x0, y0, x1, y1, colour):
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx = 1 if x0 < x1 else -1
    sy = 1 if y0 < y1 else -1
    err = dx + dy
    while True:
        canvas[y0][x0] = colour
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def fill_rect(canvas, left, top, right, bottom, colour):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            canvas[y][x] = colour


def draw_envelope(canvas, layout):
    left, top, right, bottom = layout["envelope"]
    fill_rect(canvas, left, top, right, bottom, WHITE)
    # The closed flap, shaded so that it stands off the paper.
    mid = (left + right) // 2
    depth = layout["flap_depth"]
    for row in range(top + 1, top + depth):
        inset = row - top
        for x in range(left + inset, right - inset + 1):
            canvas[row][x] = SILVER
    draw_line(canvas, left, top, mid, top + depth, GREY)
    draw_line(canvas, right, top, mid + 1, top + depth, GREY)
    for x in range(left, right + 1):
        canvas[top][x] = canvas[bottom][x] = BLACK
    for y in range(top, bottom + 1):
        canvas[y][left] = canvas[y][right] = BLACK


def draw_arrow(canvas, layout):
    left, top, right, bottom = layout["arrow_shaft"]
    fill_rect(canvas, left, top, right, bottom, YELLOW)
    base_x, head_top, head_bottom = layout["arrow_head"]
    half = (head_bottom - head_top) // 2
    for row in range(head_top, head_bottom + 1):
        reach = half - abs(row - (head_top + half))
        for x in range(base_x, base_x + reach + 1):
            canvas[row][x] = YELLOW


def draw_icon(size):
    layout = LAYOUTS[size]
    canvas = new_canvas(size)
    draw_background(canvas, size, layout["corner"])
    draw_envelope(canvas, layout)
    draw_arrow(canvas, layout)
    return canvas


def row_stride(bits_per_row):
    """Bytes per bitmap row: rows are padded to a multiple of 4 bytes."""
    return (bits_per_row + 31) // 32 * 4


def encode_image(canvas):
    """One icon image: BITMAPINFOHEADER, palette, XOR bitmap, AND mask."""
    size = len(canvas)
    xor_stride = row_stride(size * 4)
    and_stride = row_stride(size)
    xor_rows, and_rows = [], []
    for row in reversed(canvas):  # bitmaps are stored bottom-up
        xor = bytearray(xor_stride)
        mask = bytearray(and_stride)
        for x, colour in enumerate(row):
            if colour is TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
                colour = 0
            xor[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        xor_rows.append(bytes(xor))
        and_rows.append(bytes(mask))
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,            # header size
        size,          # width
        size * 2,      # height of XOR bitmap and AND mask together
        1,             # planes
        4,             # bits per pixel
        0,             # BI_RGB
        len(pixels),   # image size
        0, 0,          # resolution
        16, 0)         # colours used, colours important
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0)
                       for r, g, b in PALETTE)
    return header + palette + pixels


def encode_ico(images):
    """An .ico file: header, one directory entry per image, the images."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = [], []
    for size, blob in images:
        entries.append(struct.pack(
            "<BBBBHHII",
            size, size,   # width, height
            16, 0,        # colour count, reserved
            1, 4,         # planes, bits per pixel
            len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return out + b"".join(entries) + b"".join(blobs)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    target = argv[1] if len(argv) > 1 else os.path.join(here, "brisko.ico")
    images = [(size, encode_image(draw_icon(size))) for size in (32, 16)]
    with open(target, "wb") as f:
        f.write(encode_ico(images))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
