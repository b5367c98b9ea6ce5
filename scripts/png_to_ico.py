#!/usr/bin/env python3
"""Writes a Windows icon (.ico) holding one image per PNG given.

    png_to_ico.py OUTPUT.ico INPUT.png...

Images up to 255 pixels wide are stored as 32-bit bitmaps with an AND mask,
which every version of Windows reads; a 256-pixel image is stored as the PNG
itself, as Windows Vista and later read it. Reads the PNGs that
scripts/render-icon writes: 8-bit RGBA, not interlaced.
"""
import struct
import sys
import zlib


def read_png(path):
    """Returns width, height and rows of (r, g, b, a) tuples, top row first."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    position, header, compressed = 8, None, b""
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
        position += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    if (depth, colour_type, interlace) != (8, 6, 0):
        sys.exit(f"{path}: expected 8-bit RGBA without interlacing")
    raw = zlib.decompress(compressed)
    stride, previous, rows = width * 4, bytearray(width * 4), []
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            left = line[x - 4] if x >= 4 else 0
            up = previous[x]
            up_left = previous[x - 4] if x >= 4 else 0
            if kind == 1:
                line[x] = (line[x] + left) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + up) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 0xFF
            elif kind == 4:
                estimate = left + up - up_left
                distances = (abs(estimate - left), abs(estimate - up), abs(estimate - up_left))
                nearest = (left, up, up_left)[distances.index(min(distances))]
                line[x] = (line[x] + nearest) & 0xFF
            elif kind != 0:
                sys.exit(f"{path}: unknown row filter {kind}")
        rows.append([tuple(line[x:x + 4]) for x in range(0, stride, 4)])
        previous = line
    return width, height, rows, data


def bitmap(width, height, rows):
    # BITMAPINFOHEADER with double height (colour and mask), BGRA rows
    # bottom-up, then the AND mask: a set bit where the pixel is transparent.
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row_bytes = (width + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_row_bytes)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + colour + bytes(mask)


def write_ico(path, images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, bodies = b"", b""
    for width, height, body in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(body), offset)
        bodies += body
        offset += len(body)
    with open(path, "wb") as out:
        out.write(directory + entries + bodies)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    images = []
    for path in sys.argv[2:]:
        width, height, rows, png = read_png(path)
        images.append((width, height, png if width >= 256 else bitmap(width, height, rows)))
    write_ico(sys.argv[1], images)
