#!/usr/bin/env python3
"""Writes a Windows icon (.ico, one 32-bit image) or bitmap (.bmp, 24-bit,
transparent pixels white) from an XPM image.

    xpm_to_ico.py INPUT.xpm OUTPUT.ico
    xpm_to_ico.py INPUT.xpm OUTPUT.bmp

Reads the simple XPM the project keeps its icons in: one character a pixel,
colours given as #RRGGBB or None (transparent).
"""
import re
import struct
import sys


def read_xpm(path):
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', open(path, encoding="ascii").read())
    width, height, ncolours, cpp = (int(v) for v in strings[0].split()[:4])
    colours = {}
    for line in strings[1:1 + ncolours]:
        key, rest = line[:cpp], line[cpp:].split()
        value = rest[rest.index("c") + 1]
        colours[key] = None if value.lower() == "none" else tuple(int(value[i:i + 2], 16) for i in (1, 3, 5))
    rows = strings[1 + ncolours:1 + ncolours + height]
    pixels = [[colours[row[x * cpp:(x + 1) * cpp]] for x in range(width)] for row in rows]
    return width, height, pixels


def write_ico(path, width, height, pixels):
    # BITMAPINFOHEADER with double height (colour and mask), BGRA rows bottom-up.
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(
        bytes((p[2], p[1], p[0], 255)) if p else b"\0\0\0\0" for row in reversed(pixels) for p in row)
    mask_row_bytes = ((width + 31) // 32) * 4
    mask = b""
    for row in reversed(pixels):
        line = bytearray(mask_row_bytes)
        for x, p in enumerate(row):
            if p is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + image)


def write_bmp(path, width, height, pixels):
    # BITMAPFILEHEADER, BITMAPINFOHEADER, BGR rows bottom-up padded to 4 bytes.
    row_bytes = (width * 3 + 3) // 4 * 4
    rows = b""
    for row in reversed(pixels):
        line = b"".join(bytes((p[2], p[1], p[0])) if p else b"\xff\xff\xff" for p in row)
        rows += line + bytes(row_bytes - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, "wb") as out:
        out.write(header + info + rows)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    writer = write_bmp if sys.argv[2].lower().endswith(".bmp") else write_ico
    writer(sys.argv[2], *read_xpm(sys.argv[1]))
