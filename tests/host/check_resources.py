#!/usr/bin/env python3
"""Checks the resources of a built ZSRES.DLL against the resource script it was built from and against
the fixed layout that setup.exe relies on: the string numbering, the texts (so that a text mangled by the
resource compiler is caught), the two dialog templates, the version block and the resource language.

usage: check_resources.py DLL STRING_TABLE_RC RESOURCE_IDS_H VERSION
Prints every mismatch and exits with 1 when there is one."""

import re
import struct
import sys

from pe_resources import (RT_DIALOG, RT_STRING, RT_VERSION, PeImage, decode_dialog, decode_string_bundle,
                          decode_version_node, read_resources)
from rc_string_table import read_string_tables

LANG_EN_US = 0x0409
BLOCK_COUNT = 17
MESSAGES_PER_BLOCK = 13
RESTART_QUESTION = 11


def block_base(k):
    return 100 * k + 1


EXPECTED_IDS = set(range(1, 14)) | {block_base(k) + o for k in range(1, BLOCK_COUNT + 1)
                                    for o in range(MESSAGES_PER_BLOCK)}

# Offsets at which a block keeps the English text of block 1; every other offset is translated.
ENGLISH_OFFSETS = {
    2: {0, 11}, 3: {11}, 4: {0}, 5: {11, 12}, 6: {11, 12}, 7: {11, 12}, 8: {0, 11, 12},
    9: set(range(MESSAGES_PER_BLOCK)), 10: {11, 12}, 11: {11, 12}, 12: set(), 13: {0, 11, 12},
    14: set(), 15: {0}, 16: set(), 17: set(),
}

# One or more literal texts per language, written with escapes so that they do not depend on the
# encoding of this file or of the resource script.
SPOT_CHECKS = {
    1: "12",
    2: "English0101",
    9: "Brasileiro0801",
    13: "Romana1701",
    101: "Setup",
    112: "Setup needs to restart Windows to update sytem files.\n"
         "After restarting setup will be complete.\nDo you want to restart now?",
    202: "Initialisierung des Setup\u00b4s. Bitte warten...",
    203: "Verwendung: Setup  oder  Setup /A\n. Setup /A l\u00e4uft im Administrator Modus.",
    301: "Telep\u00edt\u00f5",
    407: "Il file SETUP.LST \u00e8 corrotto.",
    506: "Oppsett trenger ca. %1 KB ledig plass for \u00e5 initialisere.\n"
         "Vennligst frigj\u00f8r plass p\u00e5 drev C:.",
    601: "Configura\u00e7\u00e3o",
    710: "V\u00e4lj spr\u00e5k",
    804: "Imposs\u00edvel encontrar o arquivo de inicializa\u00e7\u00e3o:\n%1",
    913: "Select Location",
    1010: "S\u00e9lectionner la langue",
    1102: "Kur ba\u00felat\u00fdl\u00fdyor. Bekleyin...",
    1110: "Dil Se\u00e7in",
    1202: "Inicijaliziram instalaciju. Pri\u00e8ekajte, molim...",
    1207: "SETUP.LST datoteka je o\u0161te\u00e6ena.",
    1306: "Setup heeft ca. %1 KB vrije ruimte nodig om te initialiseren.\n"
          "Maak aub ruimte vrij op de op drive C:.",
    1406: "Ajuste necesita cerca de %1 KB espacio libre para initializar.\n"
          "Por favor libere alg\u00fan espacio en la unidad C:.",
    1506: "Setup potrebuje pro inicializaci asi%1 KB voln\u00e9ho m\u00edsta.\nuvolnete na disku  C:.",
    1510: "Zvolte jazyk ",
    1513: "Vyber um\u00edsten\u00ed",
    1604: "Nie mozna odnalezc wymaganego pliku inicjalizacji:\n%1",
    1703: "Lansare: Setup sau Setup /A\n Setup /A lanseaza instalarea \u00een mod Administrator.",
}

# Predefined window classes of dialog items.
BUTTON, STATIC, LISTBOX = 0x80, 0x82, 0x83

# (style, extended style, x, y, cx, cy, caption, point size, typeface,
#  [(style, extended style, x, y, cx, cy, id, class, text), ...] in tab order)
EXPECTED_DIALOGS = {
    103: (0x90C800C0, 0, 0, 0, 187, 95, "Dialog", 10, "MS Sans Serif",
          [(0x50020001, 0, 3, 43, 180, 8, 1000, STATIC, "")]),
    105: (0x90C800C4, 0, 0, 0, 135, 129, "Select Language", 8, "Arial",
          [(0x50020000, 0, 8, 7, 57, 8, 1005, STATIC, "Setup Language:"),
           (0x50A10101, 0, 7, 17, 121, 80, 1002, LISTBOX, ""),
           (0x50010001, 0, 43, 109, 50, 14, 1, BUTTON, "OK")]),
}

EXPECTED_HEADER = {
    "IDD_WAIT": 103, "IDD_SELECT_LANGUAGE": 105, "IDC_WAIT_TEXT": 1000, "IDC_LANGUAGE_LIST": 1002,
    "IDC_LANGUAGE_LABEL": 1005, "IDS_CATALOGUE_COUNT": 1, "IDS_CATALOGUE_FIRST": 2,
    "IDS_SETUP_WORD": 0, "IDS_PLEASE_WAIT": 1, "IDS_USAGE": 2, "IDS_FILE_NOT_FOUND": 3,
    "IDS_DECOMPRESS_FAILED": 4, "IDS_FREE_SPACE": 5, "IDS_LIST_CORRUPTED": 6, "IDS_START_FAILED": 7,
    "IDS_TEMP_DIR_FAILED": 8, "IDS_SELECT_LANGUAGE": 9, "IDS_SETUP_LANGUAGE": 10, "IDS_RESTART_QUESTION": 11,
    "IDS_SELECT_LOCATION": 12,
}

VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD
VOS_NT_WINDOWS32 = 0x00040004
VFT_DLL = 2


class Checker:
    def __init__(self):
        self.failures = []

    def expect(self, condition, message):
        if not condition:
            self.failures.append(message)
        return condition

    def equal(self, actual, expected, what):
        return self.expect(actual == expected, f"{what}: {actual!r}, expected {expected!r}")


def check_languages_and_kinds(check, resources):
    for resource in resources:
        check.equal(resource.language, LANG_EN_US,
                    f"language of resource {resource.type_id}/{resource.name_id}")
    kinds = {resource.type_id for resource in resources}
    check.equal(kinds, {RT_DIALOG, RT_STRING, RT_VERSION}, "resource types")


def dll_strings(resources):
    strings = {}
    for resource in resources:
        if resource.type_id == RT_STRING:
            strings.update(decode_string_bundle(resource.name_id, resource.data))
    return strings


def check_strings(check, strings, script_strings):
    check.equal(sorted(set(strings) - EXPECTED_IDS), [], "string IDs that should not exist")
    check.equal(sorted(EXPECTED_IDS - set(strings)), [], "missing string IDs")
    check.equal(sorted(set(script_strings) ^ EXPECTED_IDS), [], "string IDs of the script that differ")
    for string_id in sorted(EXPECTED_IDS & set(strings) & set(script_strings)):
        check.equal(strings[string_id], script_strings[string_id], f"string {string_id} against the script")
    for string_id, text in SPOT_CHECKS.items():
        check.equal(strings.get(string_id), text, f"string {string_id}")

    def text(k, offset):
        return strings.get(block_base(k) + offset)

    for offset in range(MESSAGES_PER_BLOCK):
        check.equal(text(9, offset), text(1, offset), f"block 9 against block 1 at offset {offset}")
    for k, english in ENGLISH_OFFSETS.items():
        same = {o for o in range(MESSAGES_PER_BLOCK) if text(k, o) == text(1, o)}
        check.equal(same, english, f"offsets of block {k} that hold the English text")
    # The blocks that keep the restart question in English hold it word for word, misspelling included.
    for k in range(2, BLOCK_COUNT + 1):
        if RESTART_QUESTION in ENGLISH_OFFSETS[k]:
            check.equal(text(k, RESTART_QUESTION), SPOT_CHECKS[112], f"restart question of block {k}")

    count = strings.get(1, "")
    if check.expect(count.isdigit(), f"catalogue count {count!r} is not a number"):
        for entry_id in range(2, 2 + int(count)):
            entry = strings.get(entry_id, "")
            ok = len(entry) > 4 and entry[-4:].isdigit() and entry[-2:] == "01" and \
                1 <= int(entry[-4:-2]) <= BLOCK_COUNT
            check.expect(ok, f"catalogue entry {entry_id} {entry!r} does not name a language block")


def with_hex_styles(fields):
    """The style and extended style (the first two fields) in hex, for readable messages."""
    return (f"{fields[0]:#010x}", f"{fields[1]:#x}") + tuple(fields[2:])


def check_dialogs(check, resources):
    dialogs = {r.name_id: decode_dialog(r.data) for r in resources if r.type_id == RT_DIALOG}
    check.equal(sorted(dialogs), sorted(EXPECTED_DIALOGS), "dialog templates")
    for dialog_id, expected in EXPECTED_DIALOGS.items():
        if dialog_id not in dialogs:
            continue
        d = dialogs[dialog_id]
        actual = (d.style, d.ex_style, d.x, d.y, d.cx, d.cy, d.caption, d.point_size, d.typeface)
        check.equal(with_hex_styles(actual), with_hex_styles(expected[:9]), f"dialog {dialog_id}")
        check.equal((d.menu, d.window_class), (None, None), f"menu and class of dialog {dialog_id}")
        actual_items = [(i.style, i.ex_style, i.x, i.y, i.cx, i.cy, i.id, i.window_class, i.text or "")
                        for i in d.items]
        check.equal([with_hex_styles(item) for item in actual_items],
                    [with_hex_styles(item) for item in expected[9]], f"controls of dialog {dialog_id}")
        check.equal([i.extra for i in d.items], [b""] * len(d.items), f"creation data of dialog {dialog_id}")


def check_version(check, resources, version):
    blocks = [r for r in resources if r.type_id == RT_VERSION]
    if not check.equal([(r.name_id, r.language) for r in blocks], [(1, LANG_EN_US)], "version blocks"):
        return
    root = decode_version_node(blocks[0].data)
    check.equal(root.key, "VS_VERSION_INFO", "version block key")
    numbers = [int(part) for part in version.split(".")]
    fixed = struct.unpack("<13I", root.value)
    version_ms, version_ls = numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3]
    expected_fixed = (VS_FIXEDFILEINFO_SIGNATURE, 0x00010000, version_ms, version_ls, version_ms, version_ls,
                      0x3F, 0, VOS_NT_WINDOWS32, VFT_DLL, 0, 0, 0)
    check.equal(fixed, expected_fixed, "fixed file information")

    children = {child.key: child for child in root.children}
    check.equal(sorted(children), ["StringFileInfo", "VarFileInfo"], "version block parts")
    if "StringFileInfo" in children:
        tables = children["StringFileInfo"].children
        check.equal([table.key for table in tables], ["040904b0"], "string blocks of the version block")
        values = {entry.key: entry.value for table in tables for entry in table.children}
        commas = ", ".join(str(n) for n in numbers)
        for key, expected in (("FileVersion", commas), ("ProductVersion", commas),
                              ("InternalName", "ZSRES.DLL"), ("OriginalFilename", "ZSRES.DLL"),
                              ("FileDescription", "Zemrova Setup Resource DLL")):
            check.equal(values.get(key), expected, f"version value {key}")
        for key in ("CompanyName", "LegalCopyright", "ProductName"):
            check.expect(values.get(key), f"version value {key} is missing or empty")
    if "VarFileInfo" in children:
        variables = {var.key: var.value for var in children["VarFileInfo"].children}
        check.equal(variables, {"Translation": struct.pack("<HH", LANG_EN_US, 1200)}, "version translation")


def check_header(check, header_text):
    defines = {name: int(value) for name, value in
               re.findall(r"^#define\s+(\w+)\s+(\d+)\s*$", header_text, re.MULTILINE)}
    for name, value in EXPECTED_HEADER.items():
        check.equal(defines.get(name), value, f"{name} in the resource header")


def main(argv):
    if len(argv) != 5:
        print(__doc__, file=sys.stderr)
        return 2
    dll_path, script_path, header_path, version = argv[1:]
    with open(dll_path, "rb") as dll:
        resources = read_resources(PeImage(dll.read()))
    with open(script_path, encoding="utf-8") as script:
        script_strings = read_string_tables(script.read())
    with open(header_path, encoding="utf-8") as header:
        header_text = header.read()

    check = Checker()
    check_languages_and_kinds(check, resources)
    strings = dll_strings(resources)
    check_strings(check, strings, script_strings)
    check_dialogs(check, resources)
    check_version(check, resources, version)
    check_header(check, header_text)

    for failure in check.failures:
        print("FAIL", failure)
    if check.failures:
        return 1
    print(f"ok: {len(strings)} strings, 2 dialog templates, version block {version}, all US English")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
