#!/usr/bin/env python3
"""Checks the export and import tables of a DLL as `objdump -p` prints them: the module name in the export
directory, the exports by name and ordinal (exactly these, nothing else), and the imported DLLs (only the
allowed ones; with none allowed the DLL must import nothing).

usage: check_exports.py OBJDUMP DLL MODULE_NAME NAME@ORDINAL... [--allow-import DLL]...
Prints every mismatch and exits with 1 when there is one."""

import re
import subprocess
import sys


def parse_objdump(text):
    """(export module name, ordinal base, {name: ordinal}, number of exported addresses, [imported DLLs])."""
    module = None
    base = None
    exports = {}
    address_count = 0
    imports = []
    section = None
    for line in text.splitlines():
        if line.startswith("The Export Tables"):
            section = "exports"
        elif line.startswith("The Import Tables"):
            section = "imports"
        elif line.startswith("Export Address Table"):
            section = "addresses"
        elif line.startswith("[Ordinal/Name Pointer] Table"):
            section = "names"
        elif line.startswith("PE File Base Relocations") or line.startswith("The Function Table"):
            section = None
        stripped = line.strip()
        if section == "exports":
            match = re.match(r"Name\s+[0-9a-fA-F]+\s+(\S+)$", stripped)
            if match:
                module = match.group(1)
            match = re.match(r"Ordinal Base\s+(\d+)$", stripped)
            if match:
                base = int(match.group(1))
        elif section == "addresses" and re.match(r"\[\s*\d+\]", stripped):
            address_count += 1
        elif section == "names":
            # "[   0] GetHookName" or, in newer binutils, "[   0] +base[   1] 0000 GetHookName"
            match = re.match(r"\[\s*(\d+)\]\s+(?:\+base\[\s*(\d+)\]\s+[0-9a-fA-F]+\s+)?(\S+)$", stripped)
            if match:
                index, ordinal, name = match.groups()
                exports[name] = int(ordinal) if ordinal else int(index) + (base or 0)
        elif section == "imports":
            match = re.match(r"DLL Name:\s+(\S+)$", stripped)
            if match:
                imports.append(match.group(1))
    return module, base, exports, address_count, imports


def main(argv):
    args = argv[1:]
    allowed = set()
    while "--allow-import" in args:
        position = args.index("--allow-import")
        allowed.add(args[position + 1].lower())
        del args[position:position + 2]
    if len(args) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    objdump, dll, expected_module = args[:3]
    expected_exports = {}
    for spec in args[3:]:
        name, ordinal = spec.rsplit("@", 1)
        expected_exports[name] = int(ordinal)

    result = subprocess.run([objdump, "-p", dll], capture_output=True, text=True)
    if result.returncode != 0:
        print(f"FAIL {objdump} -p {dll}: {result.stderr.strip()}")
        return 1
    module, _, exports, address_count, imports = parse_objdump(result.stdout)

    failures = []
    if module != expected_module:
        failures.append(f"export directory names {module!r}, expected {expected_module!r}")
    if exports != expected_exports:
        failures.append(f"exports {exports}, expected {expected_exports}")
    if address_count != len(expected_exports):
        failures.append(f"{address_count} exported addresses, expected {len(expected_exports)}")
    unexpected = [name for name in imports if name.lower() not in allowed]
    if unexpected:
        failures.append(f"imports {unexpected}, allowed {sorted(allowed) or 'none'}")
    for failure in failures:
        print("FAIL", failure)
    if failures:
        return 1
    print(f"ok: {module} exports {exports}, imports {imports or 'nothing'}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
