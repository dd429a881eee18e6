#!/usr/bin/env python3
"""Writes resources/tavix.ico: a small console window with a ">" prompt.

The icon holds a 32 x 32 and a 16 x 16 image, 16 colours (4 bits per pixel)
each, in the classic ICO layout: a BITMAPINFOHEADER with doubled height, a
16-entry palette, the colour (XOR) rows and then the 1-bit transparency (AND)
mask, both bottom-up with rows padded to 4 bytes.

Usage: scripts/make_icon.py [output path]   (standard library only)
"""

import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Pixel letters of the artwork: palette index, or None for transparent.
PIXELS = {
    ".": None,
    "k": 0x0,   # black: console background
    "G": 0x2,   # green: earlier output
    "n": 0x4,   # navy: title bar shade
    "s": 0x7,   # silver: caption buttons
    "g": 0x8,   # grey: window frame
    "l": 0xA,   # lime: prompt and cursor
    "b": 0xC,   # blue: title bar
    "w": 0xF,   # white: title text
}

ART_32 = [
    "................................",
    "................................",
    ".gggggggggggggggggggggggggggggg.",
    ".gbbbbbbbbbbbbbbbbbbbbbbbbbbbbg.",
    ".gbbwwwwwwwwbbbbbbbbbbbbssbssbg.",
    ".gbbwwwwwwwwbbbbbbbbbbbbssbssbg.",
    ".gnnnnnnnnnnnnnnnnnnnnnnnnnnnng.",
    ".gggggggggggggggggggggggggggggg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkGGGGGGkGGGGGGGGGkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkGGGGkGGGGGGGGGGGkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkllkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkllkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkllkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkkllkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkllkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkllkkkklllllllkkkkkkkkkkkkg.",
    ".gkkllkkkkklllllllkkkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gkkkkkkkkkkkkkkkkkkkkkkkkkkkkg.",
    ".gggggggggggggggggggggggggggggg.",
    "................................",
    "................................",
]

ART_16 = [
    "................",
    "gggggggggggggggg",
    "gbwwwwbbbbbbssbg",
    "gnnnnnnnnnnnnnng",
    "gggggggggggggggg",
    "gkkkkkkkkkkkkkkg",
    "gkGGGGGkGGGkkkkg",
    "gkkkkkkkkkkkkkkg",
    "gkllkkkkkkkkkkkg",
    "gkkllkkkkkkkkkkg",
    "gkkkllkkkkkkkkkg",
    "gkkllkkkkkkkkkkg",
    "gkllkkkklllllkkg",
    "gkkkkkkkkkkkkkkg",
    "gggggggggggggggg",
    "................",
]


def padded(row):
    """Pads a row of bytes to a multiple of 4 bytes."""
    return row + b"\x00" * (-len(row) % 4)


def image_bytes(art):
    """Returns the BITMAPINFOHEADER, palette, XOR and AND data of one image."""
    size = len(art)
    if any(len(line) != size for line in art):
        raise ValueError("artwork must be square")
    xor = bytearray()
    mask = bytearray()
    for line in reversed(art):  # bitmaps are stored bottom-up
        colours = [PIXELS[c] for c in line]
        row = bytearray()
        for x in range(0, size, 2):
            hi = colours[x] or 0
            lo = colours[x + 1] or 0
            row.append((hi << 4) | lo)
        xor += padded(bytes(row))
        bits = bytearray((size + 7) // 8)
        for x, c in enumerate(colours):
            if c is None:  # transparent: mask bit set, colour black
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += padded(bytes(bits))
    header = struct.pack(
        "<IiiHHIIiiII",
        40,               # biSize
        size,             # biWidth
        size * 2,         # biHeight: colour image plus mask
        1,                # biPlanes
        4,                # biBitCount
        0,                # biCompression: BI_RGB
        len(xor) + len(mask),
        0, 0,             # resolution
        0, 0,             # all 16 colours used and important
    )
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def icon_file(arts):
    """Returns the bytes of an ICO file holding the given images."""
    images = [image_bytes(art) for art in arts]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for art, data in zip(arts, images):
        size = len(art)
        out += struct.pack(
            "<BBBBHHII",
            size % 256, size % 256,  # width, height (0 would mean 256)
            16,                      # colours in the palette
            0,                       # reserved
            1,                       # planes
            4,                       # bits per pixel
            len(data),
            offset,
        )
        offset += len(data)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, os.pardir, "resources", "tavix.ico")
    path = sys.argv[1] if len(sys.argv) > 1 else default
    with open(path, "wb") as f:
        f.write(icon_file([ART_32, ART_16]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
