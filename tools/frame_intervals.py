#!/usr/bin/env python3
"""Frame intervals from the records of xrequest_times.py (or a file of one nanosecond
instant per line, such as VORTALIX_PRESENT_LOG writes).

Usage: frame_intervals.py FILE [SKIP_FRAMES]
Prints the count, minimum, median, 99th percentile and maximum interval in milliseconds,
and how many intervals were below 16.000 ms.
"""
import sys


def image_times(path):
    times = []
    for line in open(path):
        f = line.split()
        if len(f) == 1:
            times.append(int(f[0]))
            continue
        t, client, major, minor, size = map(int, f)
        if client == 0 and (major == 72 or (major >= 128 and minor == 3 and size == 40)):
            times.append(t)
    return times


def main():
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
