#!/usr/bin/env python3
"""Checks a Windows executable's PE header: the subsystem it declares and, when asked, its
icon and version information.

Usage: subsystem.py program.exe gui|console|any [file-version product-version]
A GUI program opens no console window from the Start menu; a console program prints where
it was started. With the versions: the program carries an icon, a numeric file and product
version equal to file-version (1.0.0.<commits>), the text ProductVersion product-version,
and the product and company names, as Explorer and inventory tools read them.
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


def version_problems(path, file_version, product_version):
    import pefile  # Debian's python3-pefile

    pe = pefile.PE(path)
    problems = []
    types = [entry.id for entry in getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None).entries] \
        if hasattr(pe, "DIRECTORY_ENTRY_RESOURCE") else []
    if pefile.RESOURCE_TYPE["RT_GROUP_ICON"] not in types:
        problems.append("no icon")
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        return problems + ["no version information"]
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    for name, got in (("file version", numbers(fixed.FileVersionMS, fixed.FileVersionLS)),
                      ("product version", numbers(fixed.ProductVersionMS,
                                                  fixed.ProductVersionLS))):
        if got != file_version:
            problems.append(f"{name} {got}, not {file_version}")
    strings = {}
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    wanted = {"FileVersion": file_version, "ProductVersion": product_version,
              "ProductName": "quelvan", "CompanyName": "quelvan developers"}
    for key, value in wanted.items():
        if strings.get(key) != value:
            problems.append(f"{key} \"{strings.get(key)}\", not \"{value}\"")
    return problems


def main():
    path, kind = sys.argv[1], sys.argv[2]
    found = subsystem(path)
    if kind != "any" and found != WANTED[kind]:
        sys.exit(f"{path}: subsystem {found}, not {kind} ({WANTED[kind]})")
    if len(sys.argv) == 5:
        problems = version_problems(path, sys.argv[3], sys.argv[4])
        if problems:
            sys.exit(f"{path}: " + "; ".join(problems))
        print(f"{path}: icon, file version {sys.argv[3]}, product version {sys.argv[4]}")
    else:
        print(f"{path}: {kind} program")


if __name__ == "__main__":
    main()
