#!/usr/bin/env python3
"""Packs PNG pictures into one Windows .ico file (PNG-compressed entries, as Windows Vista
and later read them): make_ico.py OUT.ico IN.png...  Each PNG must be square, 1..256 pixels.
Used by tools/windows.sh for the program's crown icon."""

import struct
import sys


def png_size(data, name):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"make_ico.py: {name} is not a PNG file")
    width, height = struct.unpack(">II", data[16:24])
    if width != height or not 1 <= width <= 256:
        sys.exit(f"make_ico.py: {name} is {width}x{height}, not square and at most 256")
    return width


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: make_ico.py OUT.ico IN.png...")
    pictures = []
    for name in sys.argv[2:]:
        with open(name, "rb") as f:
            data = f.read()
        pictures.append((png_size(data, name), data))
    pictures.sort(key=lambda p: p[0])
    header = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(header) + 16 * len(pictures)
    entries = b""
    for side, data in pictures:
        # 256 is written as 0; 32 bits per pixel, one plane.
        entries += struct.pack("<BBBBHHII", side % 256, side % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as out:
        out.write(header + entries + b"".join(data for _, data in pictures))


if __name__ == "__main__":
    main()
