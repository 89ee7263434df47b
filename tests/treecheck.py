#!/usr/bin/env python3
"""Checks that the source tree still says what it holds.

Usage: treecheck.py ROOT rooms|documented|mutants|all
  rooms       a file under src/ includes only its own room and the rooms below it; tools/
              may include any room, src/ never includes tools/
  documented  every file under src/ and tools/ is named in docs/development.md
  mutants     every entry of tests/mutants.json matches its file exactly once; skipped (status
              77) outside a git checkout, such as mutate.py's copy, where one entry is applied
Prints one line a problem and exits 1 when there is any.
"""
import json
import os
import re
import sys

# A room may include the rooms of a lower rank; rooms of one rank never include each other.
RANKS = {"core": 0, "net": 1, "pictures": 1, "results": 2, "download": 3, "test": 3,
         "screens": 4, "app": 5}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/', re.M)


def files_below(root, folder):
    for top, dirs, names in os.walk(os.path.join(root, folder)):
        dirs.sort()
        for name in sorted(names):
            yield os.path.relpath(os.path.join(top, name), root).replace(os.sep, "/")


def rooms(root):
    problems = []
    for path in files_below(root, "src"):
        if not path.endswith((".cpp", ".h")):
            continue
        own = path.split("/")[1]
        if own not in RANKS:
            problems.append(f"{path}: the room {own}/ has no rank in tests/treecheck.py")
            continue
        text = open(os.path.join(root, path), encoding="utf-8").read()
        for room in INCLUDE.findall(text):
            if room == own:
                continue
            if room not in RANKS:
                problems.append(f"{path}: includes {room}/, which is no room of src/")
            elif RANKS[room] >= RANKS[own]:
                problems.append(f"{path}: includes {room}/, which is not below {own}/")
    return problems


def documented(root):
    doc = open(os.path.join(root, "docs", "development.md"), encoding="utf-8").read()
    problems = []
    for path in [*files_below(root, "src"), *files_below(root, "tools")]:
        below = path.split("/", 1)[1]
        stem, ext = os.path.splitext(below)
        # A header and its source are named together by their stem: `core/backoff`.
        names = [path, below] + ([stem] if ext in (".cpp", ".h") else [])
        if not any(re.search(re.escape(n) + r"(?![\w/-])", doc) for n in names):
            problems.append(f"{path}: not named in docs/development.md")
    return problems


def mutants(root):
    problems = []
    entries = json.load(open(os.path.join(root, "tests", "mutants.json"), encoding="utf-8"))
    for number, entry in enumerate(entries, 1):
        path = os.path.join(root, entry["file"])
        count = open(path, encoding="utf-8").read().count(entry["old"]) \
            if os.path.exists(path) else 0
        if count != 1:
            problems.append(f"M{number:02} ({entry['file']}): its text stands {count} times, "
                            "not once")
    return problems


def main():
    root, what = sys.argv[1], sys.argv[2]
    if what == "mutants" and not os.path.exists(os.path.join(root, ".git")):
        print("not a git checkout: a mutation run's copy, with one mutant applied")
        return 77
    checks = {"rooms": rooms, "documented": documented, "mutants": mutants}
    problems = [line for name, check in checks.items() if what in (name, "all")
                for line in check(root)]
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
