#!/usr/bin/env python3
"""Checks that every text the window shows goes through the translation system and has a
finished translation in every built-in language, and that the template is up to date.

Usage: translations.py LUPDATE SOURCE_FOLDER TS_FOLDER [--write-template]
Fails on a Cyrillic string literal in the sources that is not inside a translate() or tr()
call, on a text that lupdate finds but a quelvan_<code>.ts lacks or leaves unfinished, and
on a template (quelvan.ts) that is not what --write-template writes: every message without
a translation, its English text and the developer's comment. Messages are compared by
context, source and disambiguation only: Qt 5 and Qt 6 record locations differently.
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
            texts = [f.text for f in translation.findall("numerusform")] or [translation.text]
            done = (translation.get("type") is None
                    and all((text or "").strip() for text in texts))
            if done or not finished_only:
                found.add((name, message.findtext("source"), message.findtext("comment")))
    return found


def entries(root):
    """A template's messages as lupdate of any Qt version writes them: order and layout aside."""
    return sorted((c.findtext("name"), m.findtext("source"), m.findtext("comment") or "",
                   m.findtext("extracomment"), m.get("numerus"),
                   "".join(m.find("translation").itertext()).strip())
                  for c in root.iter("context") for m in c.iter("message"))


def template(fresh, english):
    """The template: lupdate's messages, each with its English text before the comment."""
    words = {}
    for context in ET.parse(english).getroot().iter("context"):
        for message in context.iter("message"):
            translation = message.find("translation")
            text = ([f.text for f in translation.findall("numerusform")] or [translation.text])[0]
            words[(context.findtext("name"), message.findtext("source"),
                   message.findtext("comment"))] = text
    tree = ET.parse(fresh)
    for context in tree.getroot().iter("context"):
        for message in context.iter("message"):
            key = (context.findtext("name"), message.findtext("source"),
                   message.findtext("comment"))
            extra = message.find("extracomment")
            if extra is None:
                extra = ET.SubElement(message, "extracomment")
            extra.text = f"English: {words.get(key, '?')}\n{extra.text or ''}".rstrip()
            # The comment stands before the translation, as lupdate writes it.
            message.remove(extra)
            message.insert(list(message).index(message.find("translation")), extra)
    ET.indent(tree, space="    ")
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n" + ET.tostring(
        tree.getroot(), encoding="unicode") + "\n"


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
    lupdate, folder, ts_folder = sys.argv[1:4]
    problems = untranslated_literals(folder)
    path = os.path.join(ts_folder, "quelvan.ts")
    with tempfile.TemporaryDirectory() as work:
        fresh = os.path.join(work, "fresh.ts")
        subprocess.run([lupdate, "-silent", "-no-obsolete", "-locations", "none",
                        "-source-language", "ru", folder, "-ts", fresh], check=True)
        made = template(fresh, os.path.join(ts_folder, "quelvan_en.ts"))
        if sys.argv[4:] == ["--write-template"]:
            open(path, "w", encoding="utf-8").write(made)
            return
        if entries(ET.parse(path).getroot()) != entries(ET.fromstring(made)):
            problems.append(f"{path}: not up to date; write it again with --write-template")
        wanted = messages(fresh, False)
        files = sorted(f for f in os.listdir(ts_folder) if re.fullmatch(r"quelvan_\w+\.ts", f))
        for name in files:
            ts = os.path.join(ts_folder, name)
            missing = wanted - messages(ts, True)
            problems += [f"{ts}: no finished translation for {c}: {s!r}"
                         for c, s, _ in sorted(missing, key=str)]
    for p in problems:
        print(p)
    if problems:
        sys.exit(1)
    print(f"{len(wanted)} texts, all translated in {', '.join(files)}")


if __name__ == "__main__":
    main()
