#!/usr/bin/env python3
"""Records the golden replays of this folder with the headless runner: scripted games whose
replays every test run verifies, so that any change to the game's behaviour breaks them.

    python3 tests/replays/record.py build/vortalix-headless

Each game is written as <name>.vtr here. Record them again only when a change of the game's
behaviour is meant, and say so in the commit."""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def zigzag(start, until, run=40, side=7):
    """Right for `run` steps, down for `side`, and again: a path that lives long."""
    keys, f = [], start
    while f < until:
        f += run * 3
        keys.append((f, "c"))
        f += side * 3
        keys.append((f, "z"))
    return keys


def shifted(keys, at, by):
    return [(f + by if f >= at else f, k) for f, k in keys]


NAME_AB = ["x", "6", "5", "z", "left", "up"]  # A, cursor to B, B, back past A to '#', finish

GAMES = {
    # Level-ups from a run along its own trail, then the name "AB".
    "levelups_name": dict(seed=4242, frames=1800,
                          keys=[(20, "f7"), (30, "f7"), (45, "x"), (539, "right"), (542, "c")]
                          + [(1700 + 2 * i, k) for i, k in enumerate(NAME_AB)]),
    # Two and a half minutes on the title, five and a half of play picking up items and
    # levelling up to 8 with a pause of twenty seconds in the middle, then the name "AB".
    "long_zigzag": dict(seed=13, frames=29100,
                        keys=shifted([(9012, "x")] + zigzag(9287, 27400), 13051, 1200)
                        + [(13051, "f7"), (14251, "f7")]
                        + [(28800 + 20 * i, k) for i, k in enumerate(NAME_AB)]),
    # Speed held, the backdrop, the effects and the music switched off and on, then the game
    # abandoned with F3.
    "speed_toggles_abandoned": dict(seed=99, frames=1000,
                                    keys=[(45, "x"), (450, "f6"), (520, "f4"), (560, "f5"),
                                          (640, "f6"), (680, "f4"), (700, "z"), (720, "c"),
                                          (780, "f3")],
                                    holds=[(400, 500, "s"), (600, 700, "8")]),
}


def main():
    headless = sys.argv[1]
    for name, g in GAMES.items():
        out = os.path.join(HERE, name + ".vtr")
        if os.path.exists(out):
            os.remove(out)
        args = [headless, "--seed", str(g["seed"]), "--frames", str(g["frames"]), "--record", out]
        args += [a for f, k in g["keys"] for a in ("--key", f"{f}:{k}")]
        args += [a for f, t, k in g.get("holds", []) for a in ("--hold", f"{f}-{t}:{k}")]
        result = subprocess.run(args, capture_output=True, text=True, check=True)
        print(name, result.stdout.strip())


if __name__ == "__main__":
    main()
