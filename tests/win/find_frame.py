#!/usr/bin/env python3
"""find_frame.py SHOT.bmp SCREEN.ppm: succeeds when the screen shows the 24-bit BMP shot
somewhere, pixel for pixel, and says where. The level and combo bars take a fresh random
colour every frame, paused or not, so they are left out of the comparison."""

import struct
import sys

# Columns and rows (inclusive) of the two bars in a 240x273 frame.
BARS = [(82, 238, 259, 262), (210, 238, 267, 270)]


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        sys.exit(f"find_frame.py: {path} is no BMP file")
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        sys.exit(f"find_frame.py: {path} has {bits} bits per pixel, not 24")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        at = offset + (abs(height) - 1 - y if height > 0 else y) * stride
        bgr = data[at:at + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(rgb)
    return width, abs(height), rows


def read_ppm(path):
    data = open(path, "rb").read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or fields[3] != b"255":
        sys.exit(f"find_frame.py: {path} is no 8-bit P6 picture")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:]
    return width, height, [pixels[y * width * 3:(y + 1) * width * 3] for y in range(height)]


def masked(row, y, x0):
    row = bytearray(row)
    for left, right, top, bottom in BARS:
        if top <= y <= bottom:
            row[(x0 + left) * 3:(x0 + right + 1) * 3] = bytes((right - left + 1) * 3)
    return bytes(row)


def main():
    w, h, shot = read_bmp(sys.argv[1])
    sw, sh, screen = read_ppm(sys.argv[2])
    shot = [masked(r, y, 0) for y, r in enumerate(shot)]
    # The row with the most different pixels is the one least likely to match by chance.
    key = max(range(min(h, 240)), key=lambda y: len({shot[y][i:i + 3] for i in range(0, w * 3, 3)}))
    for sy in range(key, sh - (h - key) + 1):
        at = screen[sy].find(shot[key])
        while at >= 0:
            if at % 3 == 0:
                x0, y0 = at // 3, sy - key
                if all(masked(screen[y0 + y][x0 * 3:(x0 + w) * 3], y, 0) == shot[y] for y in range(h)):
                    print(f"the shot is on the screen at +{x0}+{y0}")
                    return 0
            at = screen[sy].find(shot[key], at + 1)
    print("the shot is nowhere on the screen", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
