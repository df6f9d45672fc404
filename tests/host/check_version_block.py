#!/usr/bin/env python3
"""Checks the version block of a built setup.exe: file and product version as the build's version number (also
as the text "1, 0, 0, 1"), flags mask 0x3F with no flags, VOS_NT_WINDOWS32, file type 2 (VFT_DLL, as in the
resource library's block), no subtype, and one US English string block "040904b0" whose "InternalName" and
"OriginalFilename" are "SETUP.EXE".

usage: check_version_block.py SETUP_EXE VERSION
Prints every mismatch and exits with 1 when there is one."""

import struct
import sys
from pathlib import Path

from pe_resources import RT_VERSION, PeImage, decode_version_node, read_resources

LANG_EN_US = 0x0409
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD
VOS_NT_WINDOWS32 = 0x00040004
VFT_DLL = 2


def check(exe_path: str, version: str):
    failures = []
    resources = read_resources(PeImage(Path(exe_path).read_bytes()))
    blocks = [r for r in resources if r.type_id == RT_VERSION]
    if [(r.name_id, r.language) for r in blocks] != [(1, LANG_EN_US)]:
        return [f"version blocks {[(r.name_id, r.language) for r in blocks]}, expected one, ID 1, US English"]
    root = decode_version_node(blocks[0].data)
    numbers = [int(part) for part in version.split(".")]
    most, least = numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3]
    fixed = struct.unpack("<13I", root.value)
    expected = (VS_FIXEDFILEINFO_SIGNATURE, 0x00010000, most, least, most, least, 0x3F, 0, VOS_NT_WINDOWS32,
                VFT_DLL, 0, 0, 0)
    if fixed != expected:
        failures.append(f"fixed file information {[hex(n) for n in fixed]}, expected {[hex(n) for n in expected]}")
    children = {child.key: child for child in root.children}
    tables = children["StringFileInfo"].children if "StringFileInfo" in children else []
    if [table.key for table in tables] != ["040904b0"]:
        failures.append(f"string blocks {[table.key for table in tables]}, expected ['040904b0']")
    values = {entry.key: entry.value for table in tables for entry in table.children}
    commas = ", ".join(str(n) for n in numbers)
    for key, wanted in (("InternalName", "SETUP.EXE"), ("OriginalFilename", "SETUP.EXE"),
                        ("FileVersion", commas), ("ProductVersion", commas)):
        if values.get(key) != wanted:
            failures.append(f"version value {key} is {values.get(key)!r}, expected {wanted!r}")
    return failures


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    failures = check(argv[1], argv[2])
    for failure in failures:
        print("FAIL", failure)
    if failures:
        return 1
    print(f"ok: version block {argv[2]}, VFT_DLL, SETUP.EXE")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
