#!/usr/bin/env python3
"""Finds the game's window and frame in a picture of the whole screen and checks them.

    frame_blocks.py SCREEN.ppm SHOT.ppm [--background HH] [--window WxH] [--block K]
                    [--skip X Y W H]

SCREEN.ppm is what the screen showed, in its real pixels, on a desktop of the grey HHHHHH
(default 353535); SHOT.ppm is the F1 shot (240x273). The window is what is not the desktop;
inside it the frame must lie as exact KxK blocks of one colour each, equal to the shot's
pixel (inside the level and combo bars, which take a fresh random colour every frame, only
the blocks are checked), with black all around it. --window and --block say which window size
(in real pixels) and block size are expected; --skip paints a rectangle of the screen in the
colour just left of it (where the mouse pointer rests). Prints "K X Y WxH WX WY": the block size, the
frame's place in the window, the window's size and place on the screen.
"""
import sys

# Frame rectangles (x0, y0, x1, y1, inclusive) of the level bar and the combo bar.
BARS = ((82, 259, 238, 262), (210, 267, 238, 270))


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        sys.exit(f"{path}: not an 8-bit binary PPM")
    w, h = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + w * h * 3]
    if len(pixels) != w * h * 3:
        sys.exit(f"{path}: cut short")
    return w, h, pixels


def bbox(w, px, rows, x0, x1, value):
    """The smallest rectangle (x0, y0, x1, y1 inclusive) holding every pixel in `rows` and
    columns x0..x1-1 with a byte other than `value`; None when there is none."""
    found = None
    for y in rows:
        seg = px[(y * w + x0) * 3:(y * w + x1) * 3]
        rest = seg.lstrip(value)
        if not rest:
            continue
        first = x0 + (len(seg) - len(rest)) // 3
        last = x0 + (len(seg.rstrip(value)) - 1) // 3
        if found is None:
            found = [first, y, last, y]
        else:
            found = [min(found[0], first), found[1], max(found[2], last), y]
    return found


def in_bar(fx, fy):
    return any(b[0] <= fx <= b[2] and b[1] <= fy <= b[3] for b in BARS)


def main():
    args = sys.argv[1:]
    expect = {}
    skip = None
    files = []
    i = 0
    while i < len(args):
        if args[i] in ("--block", "--window", "--background"):
            expect[args[i]] = args[i + 1]
            i += 2
        elif args[i] == "--skip":
            skip = [int(v) for v in args[i + 1:i + 5]]
            i += 5
        else:
            files.append(args[i])
            i += 1
    sw, sh, spx = read_ppm(files[0])
    if skip:
        # Painted over in the desktop's colour, or black where the window covers it.
        x, y, w, h = skip
        spx = bytearray(spx)
        colour = bytes(3) if spx[(y * sw + x) * 3 - 3:(y * sw + x) * 3] == bytes(3) else None
        for row in range(y, min(y + h, sh)):
            fill = colour if colour is not None else spx[(row * sw + x) * 3 - 3:(row * sw + x) * 3]
            spx[(row * sw + x) * 3:(row * sw + min(x + w, sw)) * 3] = fill * (min(x + w, sw) - x)
        spx = bytes(spx)
    fw, fh, fpx = read_ppm(files[1])
    bg = bytes([int(expect.get("--background", "35"), 16)])

    # The window: whatever is not the desktop's colour. Its own black around the frame
    # shows where it ends.
    win = bbox(sw, spx, range(sh), 0, sw, bg)
    if win is None:
        sys.exit("FAIL: no window on the screen")
    wx, wy, ww, wh = win[0], win[1], win[2] - win[0] + 1, win[3] - win[1] + 1
    if "--window" in expect and f"{ww}x{wh}" != expect["--window"]:
        sys.exit(f"FAIL: the window covers {ww}x{wh} pixels at +{wx}+{wy}, expected "
                 f"{expect['--window']}")

    f = bbox(fw, fpx, range(fh), 0, fw, b"\0")
    s = bbox(sw, spx, range(wy, wy + wh), wx, wx + ww, b"\0")
    if f is None or s is None:
        sys.exit("FAIL: the shot or the window is all black")
    k, rest = divmod(s[2] - s[0] + 1, f[2] - f[0] + 1)
    if rest or k * (f[3] - f[1] + 1) != s[3] - s[1] + 1:
        sys.exit(f"FAIL: the picture in the window ({s[2] - s[0] + 1}x{s[3] - s[1] + 1}) is "
                 f"not the shot's ({f[2] - f[0] + 1}x{f[3] - f[1] + 1}) in whole blocks")
    ox, oy = s[0] - f[0] * k, s[1] - f[1] * k
    if "--block" in expect and k != int(expect["--block"]):
        sys.exit(f"FAIL: frame pixels are {k}x{k} blocks, expected {expect['--block']}")
    if ox < wx or oy < wy or ox + fw * k > wx + ww or oy + fh * k > wy + wh:
        sys.exit(f"FAIL: the frame at +{ox}+{oy} in {k}x{k} blocks is not inside the window")

    wrong = 0
    for fy in range(fh):
        frow = fpx[fy * fw * 3:(fy + 1) * fw * 3]
        want = b"".join(frow[x * 3:x * 3 + 3] * k for x in range(fw))
        for dy in range(k):
            y = oy + fy * k + dy
            got = spx[(y * sw + ox) * 3:(y * sw + ox + fw * k) * 3]
            if got == want:
                continue
            for fx in range(fw):
                cell = got[fx * k * 3:(fx + 1) * k * 3]
                first = cell[0:3]
                if cell != first * k:
                    wrong += 1
                    if wrong <= 5:
                        print(f"frame pixel {fx},{fy} is not one block on the screen")
                elif first != frow[fx * 3:fx * 3 + 3] and not in_bar(fx, fy):
                    wrong += 1
                    if wrong <= 5:
                        print(f"frame pixel {fx},{fy}: screen {first.hex()}, "
                              f"shot {frow[fx * 3:fx * 3 + 3].hex()}")
    # Black in the window around the frame.
    for y in range(wy, wy + wh):
        inside = oy <= y < oy + fh * k
        for x0, x1 in ((wx, ox), (ox + fw * k, wx + ww)) if inside else ((wx, wx + ww),):
            seg = spx[(y * sw + x0) * 3:(y * sw + x1) * 3]
            if seg.lstrip(b"\0"):
                wrong += 1
                if wrong <= 5:
                    print(f"row {y} of the window is not black around the frame")
    if wrong:
        sys.exit(f"FAIL: {wrong} differences")
    print(k, ox - wx, oy - wy, f"{ww}x{wh}", wx, wy)


if __name__ == "__main__":
    main()
