#!/usr/bin/env python3
"""Writes a Windows bitmap (.bmp, 24-bit, transparent pixels white) from an
XPM image.

    xpm_to_bmp.py INPUT.xpm OUTPUT.bmp

Reads the simple XPM the project keeps its pictures in: one character a pixel,
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
    write_bmp(sys.argv[2], *read_xpm(sys.argv[1]))
