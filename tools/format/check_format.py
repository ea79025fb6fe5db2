#!/usr/bin/env python3
"""Reports the C and C++ sources that differ from the layout in .clang-format, without changing
any file. The files named in unformatted.txt beside this script are left out (they were written
before the formatter's settings; each leaves the list once it is formatted). A listed file that now
follows the layout is reported, so its line can go.

    tools/format/check_format.py [--clang-format PROGRAM]

Exit status: 0 when every checked file follows the layout, 1 when some differ, 77 (a skipped
test for ctest) when clang-format cannot be run.
"""
import argparse
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FOLDERS = ["game", "helvane", "lumenkit", "platform", "tests", "tools"]
SUFFIXES = (".c", ".cc", ".cpp", ".h", ".hpp")
EXCEPTIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "unformatted.txt")
SKIPPED = 77


def sources():
    found = []
    for folder in FOLDERS:
        for top, dirs, files in os.walk(os.path.join(ROOT, folder)):
            dirs.sort()
            found += [os.path.relpath(os.path.join(top, name), ROOT) for name in sorted(files)
                      if name.endswith(SUFFIXES)]
    return found


def exceptions():
    listed = set()
    with open(EXCEPTIONS, encoding="utf-8") as f:
        for line in f:
            path = line.split("#", 1)[0].strip()
            if path:
                listed.add(path)
    return listed


def differing(program, files):
    """The files clang-format would change, each with the number of places it would change."""
    places = {}
    # A few hundred names per call keeps the command line short.
    for start in range(0, len(files), 200):
        run = subprocess.run([program, "--dry-run", *files[start:start + 200]], cwd=ROOT,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        for line in run.stderr.splitlines():
            if ": warning:" in line:
                path = line.split(":", 1)[0]
                places[path] = places.get(path, 0) + 1
        # --dry-run answers 0 whatever it finds; anything else is a bad setting or a crash, and a
        # check that stopped halfway must not pass.
        if run.returncode != 0:
            sys.exit(f"{program} failed with status {run.returncode}:\n{run.stderr.strip()[-2000:]}")
    return places


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--clang-format", default="clang-format", dest="program")
    args = parser.parse_args()
    try:
        version = subprocess.run([args.program, "--version"], capture_output=True, text=True, check=True)
    except (OSError, subprocess.CalledProcessError):
        print(f"{args.program} cannot be run; tools/setup.sh installs it")
        return SKIPPED
    files = sources()
    listed = exceptions()
    places = differing(args.program, files)
    checked = [f for f in files if f not in listed]
    wrong = sorted(f for f in checked if f in places)
    mended = sorted(f for f in files if f in listed and f not in places)
    print(f"{version.stdout.strip()}: {len(checked)} files checked, {len(files) - len(checked)} listed in "
          f"{os.path.relpath(EXCEPTIONS, ROOT)} left out")
    for path in mended:
        print(f"{path} follows the layout now: remove it from {os.path.relpath(EXCEPTIONS, ROOT)}")
    for path in wrong:
        print(f"{path}: {places[path]} place(s) differ from .clang-format")
    if wrong:
        print(f"{len(wrong)} file(s) differ; see the changes with `clang-format <file> | diff <file> -`, "
              "apply them with `clang-format -i <file>`")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
