#!/usr/bin/env python3
"""Checks that every text the window shows goes through the translation system and has a
finished English translation.

Usage: translations.py LUPDATE SOURCE_FOLDER TS_FILE
Fails on a Cyrillic string literal in the sources that is not inside a translate() or tr()
call, and on a text that lupdate finds but the .ts lacks or leaves unfinished. Messages are
compared by context and source only: Qt 5 and Qt 6 record locations differently.
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

CYRILLIC = re.compile("[\u0400-\u04FF]")
LITERAL = re.compile(r'"(?:[^"\\\n]|\\.)*"')
COMMENT = re.compile(r"//[^\n]*|/\*.*?\*/", re.S)


def messages(path, finished_only):
    found = set()
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            done = (translation is not None and translation.get("type") != "unfinished"
                    and (translation.text or "").strip())
            if done or not finished_only:
                found.add((name, message.findtext("source")))
    return found


def untranslated_literals(folder):
    problems = []
    for root, _, files in os.walk(folder):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(root, name)
            text = COMMENT.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)),
                               open(path, encoding="utf-8").read())
            for literal in LITERAL.finditer(text):
                if not CYRILLIC.search(literal.group(0)):
                    continue
                # Inside a call when the nearest translate( or tr( before it is not closed
                # by the end of a statement.
                before = text[:literal.start()]
                call = max(before.rfind("translate("), before.rfind("tr("))
                if call < 0 or ";" in before[call:]:
                    line = before.count("\n") + 1
                    problems.append(f"{path}:{line}: {literal.group(0)} is not translated")
    return problems


def main():
    lupdate, folder, ts = sys.argv[1:4]
    problems = untranslated_literals(folder)
    with tempfile.TemporaryDirectory() as work:
        fresh = os.path.join(work, "fresh.ts")
        subprocess.run([lupdate, "-silent", "-no-obsolete", "-locations", "none", folder, "-ts",
                        fresh], check=True)
        missing = messages(fresh, False) - messages(ts, True)
    problems += [f"{ts}: no finished translation for {c}: {s!r}" for c, s in sorted(missing)]
    for p in problems:
        print(p)
    if problems:
        sys.exit(1)
    print(f"{len(messages(ts, True))} texts, all translated")


if __name__ == "__main__":
    main()
