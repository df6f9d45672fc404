#!/usr/bin/env python3
"""Checks that a built Windows image can be loaded at a random address and keeps data from running: the
DYNAMIC_BASE and NX_COMPAT flags are set, and the base relocations that a move needs are there: not stripped,
and for an i686 (PE32) image, whose code holds absolute addresses, a directory that is not empty (x86_64 code
addresses relatively, so a small image may have nothing to relocate). What makes a file small must cost
neither.

usage: check_aslr_dep.py FILE"""

import struct
import sys
from pathlib import Path

DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
RELOCS_STRIPPED = 0x0001
BASE_RELOCATION_DIRECTORY = 5


def problems(data: bytes):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return ["no PE image"]
    characteristics = struct.unpack_from("<H", data, pe + 22)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    # The data directories follow the fields that differ between PE32 (0x10B) and PE32+ (0x20B).
    dll_characteristics = struct.unpack_from("<H", data, optional + 70)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    relocations_size = struct.unpack_from("<I", data, directories + 8 * BASE_RELOCATION_DIRECTORY + 4)[0]
    found = []
    if not dll_characteristics & DYNAMIC_BASE:
        found.append("DYNAMIC_BASE is not set (no address space layout randomisation)")
    if not dll_characteristics & NX_COMPAT:
        found.append("NX_COMPAT is not set (no data execution prevention)")
    if characteristics & RELOCS_STRIPPED or (magic == 0x10B and relocations_size == 0):
        found.append("the base relocations are missing")
    return found


def main(argv) -> int:
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    path = Path(argv[1])
    found = problems(path.read_bytes())
    for problem in found:
        print(f"{path.name}: {problem}")
    if not found:
        print(f"{path.name}: DYNAMIC_BASE and NX_COMPAT set, base relocations kept")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
