#!/usr/bin/env python3
"""Where the bytes of a linked Windows program go, from the GNU linker's map.

usage: size_report.py MAP [IMAGE] [--top N]

MAP is the map that the link wrote (setup.exe's link always writes one: build/<preset>/src/setup/
setup.map); IMAGE the program, whose section table gives the sizes in the file. Prints three tables:
- the image's sections: their size in memory and in the file;
- the bytes by origin: the program's own code (link-time optimised, one section per function), the C
  runtime's start-up, the C++ library and GCC's support library, the imports, and what the linker makes;
- the largest contributors: one function of our own, or one object of a library, in one section.
`cmake --build build/win32 --target setup_size_report` builds setup.exe and prints its report."""

import argparse
import re
import shutil
import struct
import subprocess
import sys
from collections import defaultdict
from pathlib import Path

OUTPUT_SECTION = re.compile(r"^(\.[\w$.]+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)")
INPUT_SECTION = re.compile(r"^ (\.[^\s]+|COMMON)(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*))?$")
CONTINUATION = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
FILL = re.compile(r"^ \*fill\*\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)")
ARCHIVE_MEMBER = re.compile(r"([^/]+)\.a\(([^)]+)\)$")
# The sections that reach the image; debugging sections of an unstripped link do not ship.
SHIPPED = {".text", ".data", ".rdata", ".eh_frame", ".pdata", ".xdata", ".bss", ".edata", ".idata", ".CRT",
           ".tls", ".rsrc", ".reloc"}


class Piece:
    def __init__(self, section, name, size, origin):
        self.section, self.name, self.size, self.origin = section, name, size, origin


def origin_of(path):
    """The kind of file an input section came from, and a short name for it."""
    if path == "dll stuff":
        return "linker", None
    if path.endswith(".res)") or path.endswith(".res"):
        return "resources", "resource script"
    if "ltrans" in path:
        return "own code", None
    member = ARCHIVE_MEMBER.search(path)
    if member:
        library, obj = member.group(1), member.group(2)
        if library in ("libmingw32", "libmingwex", "libmoldname"):
            return "C runtime start-up", f"{library}.a: {obj}"
        if library in ("libstdc++", "libsupc++", "libgcc", "libgcc_eh"):
            return "C++ library, GCC support", f"{library}.a: {obj}"
        return "imports", f"imports of {library[3:] if library.startswith('lib') else library}"
    name = Path(path).name
    if name.startswith(("crt", "dllcrt")):
        return "C runtime start-up", name
    return "own code", name


def read_map(path):
    pieces = []
    section = None
    pending = None
    lines = Path(path).read_text(errors="replace").splitlines()
    start = next((i for i, line in enumerate(lines) if line.startswith("Linker script and memory map")), 0)
    for line in lines[start:]:
        match = OUTPUT_SECTION.match(line)
        if match or (line.startswith(".") and " " not in line.strip()):
            section = line.split()[0]
            pending = None
            continue
        if section not in SHIPPED:
            continue
        if pending:
            match = CONTINUATION.match(line)
            if match:
                add_piece(pieces, section, pending, int(match.group(2), 16), match.group(3))
            pending = None
            continue
        match = FILL.match(line)
        if match:
            pieces.append(Piece(section, "alignment", int(match.group(2), 16), "linker"))
            continue
        match = INPUT_SECTION.match(line)
        if match:
            if match.group(2) is None:
                pending = match.group(1)
            else:
                add_piece(pieces, section, match.group(1), int(match.group(3), 16), match.group(4))
    return pieces


def add_piece(pieces, section, input_section, size, path):
    if size == 0:
        return
    origin, name = origin_of(path.strip())
    if origin == "linker":
        name = {".reloc": "base relocations", ".edata": "export directory"}.get(section, "linker")
    elif origin == "own code":
        # With one section per function, the input section names the function.
        function = input_section.split("$", 1)[1] if "$" in input_section else None
        function = function.split(".lto_priv")[0] if function else None
        name = function or f"({input_section.lstrip('.')} of the optimised code)"
    pieces.append(Piece(section, name, size, origin))


def demangle(names):
    tool = shutil.which("c++filt")
    mangled = sorted({n for n in names if n.startswith("_Z")})
    if not tool or not mangled:
        return {}
    out = subprocess.run([tool], input="\n".join(mangled), capture_output=True, text=True).stdout.splitlines()
    return dict(zip(mangled, out))


def image_sections(path):
    """(name, size in memory, size in the file) of each section, and the file's size."""
    data = Path(path).read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    sections = []
    for i in range(count):
        raw = data[table + 40 * i: table + 40 * (i + 1)]
        name = raw[:8].rstrip(b"\0").decode("ascii", "replace")
        virtual_size, _, raw_size = struct.unpack_from("<III", raw, 8)
        sections.append((name, virtual_size, raw_size))
    return sections, len(data)


def kb(size):
    return f"{size:>7,} ({size / 1024:5.1f} KB)"


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("map")
    parser.add_argument("image", nargs="?")
    parser.add_argument("--top", type=int, default=25)
    args = parser.parse_args(argv)

    pieces = read_map(args.map)
    names = demangle(p.name for p in pieces)

    if args.image:
        sections, file_size = image_sections(args.image)
        print(f"{Path(args.image).name}: {file_size:,} bytes ({file_size / 1024:.1f} KB)\n")
        print(f"{'section':<10} {'in memory':>8} {'in the file':>22}")
        for name, virtual_size, raw_size in sections:
            print(f"{name:<10} {virtual_size:>9,} {kb(raw_size):>22}")
        headers = file_size - sum(raw for _, _, raw in sections)
        print(f"{'(headers)':<10} {'':>9} {kb(headers):>22}\n")

    by_origin = defaultdict(lambda: defaultdict(int))
    for p in pieces:
        if p.section != ".bss":
            by_origin[p.origin][p.section] += p.size
    print("Bytes by origin (in memory, before the file's 512-byte alignment of each section; .bss takes no room)")
    for origin, per_section in sorted(by_origin.items(), key=lambda item: -sum(item[1].values())):
        detail = ", ".join(f"{s} {n:,}" for s, n in sorted(per_section.items(), key=lambda item: -item[1]))
        print(f"  {origin:<26} {kb(sum(per_section.values()))}   {detail}")

    grouped = defaultdict(int)
    for p in pieces:
        if p.section != ".bss":
            grouped[(names.get(p.name, p.name), p.section, p.origin)] += p.size
    print(f"\nThe {args.top} largest contributors")
    print(f"  {'bytes':>7}  {'section':<10} {'origin':<26} function or object")
    for (name, section, origin), size in sorted(grouped.items(), key=lambda item: -item[1])[: args.top]:
        shown = name if len(name) <= 90 else name[:87] + "..."
        print(f"  {size:>7,}  {section:<10} {origin:<26} {shown}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
