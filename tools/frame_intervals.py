#!/usr/bin/env python3
"""Frame intervals from the records of xrequest_times.py, from the output of
`strace -f -ttt -e trace=writev` attached to the game, or from a file of one nanosecond
instant per line, such as VORTALIX_PRESENT_LOG writes.

Usage: frame_intervals.py FILE [SKIP_FRAMES]
       frame_intervals.py --delay REQUESTS PRESENTS
Prints the count, minimum, median, 99th percentile and maximum interval in milliseconds,
and how many intervals were below 16.000 ms; with --delay, how long each image request took
from the game's log of the present to the X server's side of the proxy.
"""
import sys


def image_times(path):
    times = []
    for line in open(path):
        f = line.split()
        if len(f) > 2 and f[2].startswith("writev("):
            # strace -f -ttt of the game: one write of the image request (40 bytes) and the
            # sync after it (4 bytes) per frame.
            if line.rstrip().endswith("= 44"):
                times.append(int(round(float(f[1]) * 1e9)))
            continue
        if len(f) == 1:
            times.append(int(f[0]))
            continue
        t, client, major, minor, size = map(int, f)
        if client == 0 and (major == 72 or (major >= 128 and minor == 3 and size == 40)):
            times.append(t)
    return times


def delays(requests, presents):
    """How long after the game logged each present its image request reached the proxy."""
    out = []
    j = 0
    for t in requests:
        while j + 1 < len(presents) and presents[j + 1] <= t:
            j += 1
        if presents and presents[j] <= t:
            out.append((t - presents[j]) / 1e6)
    return sorted(out)


def main():
    if len(sys.argv) > 2 and sys.argv[1] == "--delay":
        d = delays(image_times(sys.argv[2]), image_times(sys.argv[3]))
        n = len(d)
        q = lambda p: d[min(n - 1, int(p * n))]
        print(f"{n} frames  median {q(0.5):.4f} ms  p99 {q(0.99):.4f} ms  max {d[-1]:.4f} ms")
        return 0
    times = image_times(sys.argv[1])
    skip = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    times = times[skip:]
    iv = sorted((b - a) / 1e6 for a, b in zip(times, times[1:]))
    if not iv:
        print("no frames")
        return 1
    n = len(iv)
    q = lambda p: iv[min(n - 1, int(p * n))]
    print(f"frames {n + 1}  min {iv[0]:.4f} ms  median {q(0.5):.4f} ms  p99 {q(0.99):.4f} ms  "
          f"max {iv[-1]:.4f} ms  below 16.000 ms: {sum(1 for x in iv if x < 16.0)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
