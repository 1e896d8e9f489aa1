#!/usr/bin/env python3
"""The editor benchmarks' files, the same on every run: a 50 MB text of
prose (big.txt), a 100,000-line script (lines.torvic) and a 10 MB script
(ten.torvic), written into the folder given."""
import random
import sys

out = sys.argv[1]
rng = random.Random(28)
words = "the editor opens a file and every key shows at once while the lines go on".split()


def prose(size):
    lines, total = [], 0
    while total < size:
        line = " ".join(rng.choice(words) for _ in range(rng.randint(3, 14)))
        lines.append(line)
        total += len(line) + 2
    return "\r\n".join(lines) + "\r\n"


def script(count=None, size=None):
    kinds = ['wait(10)', "' a note on what follows", 'send("hello {ENTER}",1)', 'beep', '',
             'goto(0,12)', 'exec("notepad",1)']
    lines, total = [], 0
    while (count is not None and len(lines) < count) or (size is not None and total < size):
        line = rng.choice(kinds)
        lines.append(line)
        total += len(line) + 2
    return "\r\n".join(lines) + "\r\n"


open(out + "/big.txt", "w", newline="").write(prose(50 * 1024 * 1024))
open(out + "/lines.torvic", "w", newline="").write(script(count=100000))
open(out + "/ten.torvic", "w", newline="").write(script(size=10 * 1024 * 1024))
