#!/usr/bin/env python3
"""Checks the subsystem a Windows executable declares in its PE header.

Usage: subsystem.py program.exe gui|console
A GUI program opens no console window from the Start menu; a console program prints where
it was started.
"""
import struct
import sys

WANTED = {"gui": 2, "console": 3}


def subsystem(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    if data[:2] != b"MZ":
        raise ValueError("not a Windows executable")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    # The optional header follows the 20-byte file header; Subsystem is at offset 68 in
    # both PE32 and PE32+.
    return struct.unpack_from("<H", data, pe + 24 + 68)[0]


def main():
    path, kind = sys.argv[1], sys.argv[2]
    found = subsystem(path)
    if found != WANTED[kind]:
        sys.exit(f"{path}: subsystem {found}, not {kind} ({WANTED[kind]})")
    print(f"{path}: {kind} program")


if __name__ == "__main__":
    main()
