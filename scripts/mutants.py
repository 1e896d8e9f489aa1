#!/usr/bin/env python3
"""Single-line mutation score of the test suite for base/, script/, textcmd/, engine/,
editor/ and setup/ (the behaviours; their toolkit views are left out).

Every candidate line of those folders' .cpp files gets the mutations that
apply to it (a comparison flipped, && and || swapped, an off-by-one, true and
false swapped); a fixed random sample of them is built one at a time into a
copy of the tree (with the standard library's assertions on, as in the
sanitizer build), and the tests are run against each: the unit tests, then
the end-to-end scripts. A mutant is caught when the build or a test fails (or
the tests time out).

    scripts/mutants.py [--count N] [--seed S] [--tree DIR] [--list]

The tree is copied to a scratch folder, so the working tree is never touched.
Not part of the test suite: it takes tens of minutes.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

FOLDERS = ("base", "script", "engine", "textcmd", "editor", "setup")

# (pattern, replacement): each match on a line is one mutant.
RULES = [
    (r"(?<![<>=!])==(?!=)", "!="),
    (r"!=", "=="),
    (r"(?<![<>=-])<=(?!=)", "<"),
    (r"(?<![<>=-])>=(?!=)", ">"),
    (r"(?<=[\w)\]] )<(?= [\w(])", "<="),
    (r"(?<=[\w)\]] )>(?= [\w(])", ">="),
    (r"&&", "||"),
    (r"\|\|", "&&"),
    (r"\btrue\b", "false"),
    (r"\bfalse\b", "true"),
    (r"(?<=[\w)\]] )\+ 1\b", "+ 2"),
    (r"(?<=[\w)\]] )- 1\b", "- 2"),
    (r"(?<=[\w)\]] )\+ 2\b", "+ 1"),
    (r"(?<=[\w)\]] )- 2\b", "- 1"),
]

# The tests that drive whole programs (as opposed to the unit tests).
END_TO_END = "end_to_end|debian_package|tray_status|usage_on|layers"

# A string or character literal: its text is a message, not an operator.
LITERAL = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'')

SKIP = re.compile(r"^\s*(//|#|\*|/\*)|static_assert|std::vector<|template\s*<|#include")


def candidates(tree):
    out = []
    for folder in FOLDERS:
        root = os.path.join(tree, folder)
        for dirpath, dirs, files in os.walk(root):
            dirs[:] = sorted(d for d in dirs if d not in ("qt", "win32"))
            for name in sorted(files):
                if not name.endswith(".cpp"):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, tree)
                with open(path, encoding="utf-8") as f:
                    lines = f.read().split("\n")
                for i, line in enumerate(lines):
                    if SKIP.search(line):
                        continue
                    # Literals blanked (same length, so places hold) before
                    # a comment is cut off: "//" may stand inside a string.
                    code = LITERAL.sub(lambda m: m.group(0)[0] + " " * (len(m.group(0)) - 2) + m.group(0)[-1], line)
                    code = code.split("//")[0]
                    for pattern, repl in RULES:
                        for m in re.finditer(pattern, code):
                            mutated = line[: m.start()] + repl + line[m.end():]
                            out.append((rel, i, line, mutated))
    out.sort()
    return out


def run(cmd, cwd, timeout):
    try:
        r = subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)
        return r.returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--count", type=int, default=60)
    ap.add_argument("--seed", type=int, default=12)
    ap.add_argument("--tree", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    ap.add_argument("--list", action="store_true", help="only list the sampled mutants")
    args = ap.parse_args()

    all_mutants = candidates(args.tree)
    sample = random.Random(args.seed).sample(all_mutants, min(args.count, len(all_mutants)))
    print(f"{len(all_mutants)} candidate mutants; sampling {len(sample)}", flush=True)
    if args.list:
        for rel, i, before, after in sample:
            print(f"{rel}:{i + 1}: {before.strip()}  ->  {after.strip()}")
        return 0

    work = tempfile.mkdtemp(prefix="torvic-mutants-")
    try:
        src = os.path.join(work, "src")
        shutil.copytree(args.tree, src, ignore=shutil.ignore_patterns("build*", ".git"))
        build = os.path.join(work, "build")
        if run(["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                "-DTORVIC_BUILD_BENCH=OFF", "-DTORVIC_LIBRARY_ASSERTIONS=ON"], work, 600) != 0:
            print("configure failed", file=sys.stderr)
            return 2
        if run(["cmake", "--build", build, "-j2"], work, 1800) != 0:
            print("the unmutated tree does not build", file=sys.stderr)
            return 2
        # The unit tests first: most mutants fall there in seconds, and only
        # the survivors pay for the end-to-end scripts.
        skipped = "x11|logind|qt_windows"
        unit = ["ctest", "-j2", "--timeout", "60", "-E", f"{skipped}|{END_TO_END}"]
        scripts = ["ctest", "-j2", "--timeout", "60", "-E", skipped, "-R", END_TO_END]
        if run(unit, build, 600) != 0 or run(scripts, build, 600) != 0:
            print("the unmutated tree fails its tests", file=sys.stderr)
            return 2
        caught = 0
        survivors = []
        for n, (rel, i, before, after) in enumerate(sample, 1):
            path = os.path.join(src, rel)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            lines = text.split("\n")
            lines[i] = after
            with open(path, "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
            # Which stage caught it: an end-to-end catch may be a script's
            # timing on a busy machine, so it is named.
            stage = ""
            if run(["cmake", "--build", build, "-j2", "--target", "torvic_tests", "torvicrun", "torvic"], work, 900) != 0:
                stage = "by the build"
            elif run(unit, build, 900) != 0:
                stage = "by a unit test"
            elif run(scripts, build, 900) != 0:
                stage = "by an end-to-end script"
            killed = bool(stage)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
            caught += killed
            if not killed:
                survivors.append(f"{rel}:{i + 1}: {before.strip()}  ->  {after.strip()}")
            print(f"[{n}/{len(sample)}] {'caught ' if killed else 'SURVIVED'} {rel}:{i + 1} {stage}", flush=True)
        print(f"caught {caught} of {len(sample)} ({100.0 * caught / len(sample):.0f}%)")
        for s in survivors:
            print("survived:", s)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
