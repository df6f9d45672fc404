#!/usr/bin/env python3
"""Checks the application manifest of a built program: one manifest resource (type 24, ID 1), well-formed XML
in the assembly namespace, the expected requestedExecutionLevel without UI access, the supportedOS entries of
Windows Vista, 7, 8, 8.1 and 10/11, system DPI awareness and the dependency on version 6 of the Common Controls.

usage: check_manifest.py PROGRAM EXPECTED_LEVEL
Prints every mismatch and exits with 1 when there is one."""

import sys
import xml.etree.ElementTree as ElementTree

from pe_resources import PeImage, read_resources

RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPATIBILITY_V1 = "urn:schemas-microsoft-com:compatibility.v1"
WINDOWS_SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"

SUPPORTED_OS = {
    "Windows Vista": "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
    "Windows 7": "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "Windows 8": "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
    "Windows 8.1": "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "Windows 10 and 11": "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}

COMMON_CONTROLS = {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
                   "processorArchitecture": "*", "publicKeyToken": "6595b64144ccf1df", "language": "*"}


def q(namespace, name):
    return f"{{{namespace}}}{name}"


def check_manifest(text, expected_level):
    """The mismatches of one manifest's text against what the programs need."""
    failures = []
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return [f"not well-formed XML: {error}"]
    if root.tag != q(ASM_V1, "assembly") or root.get("manifestVersion") != "1.0":
        failures.append(f"root element {root.tag} (manifestVersion {root.get('manifestVersion')!r}), "
                        f"expected an asm.v1 assembly of manifest version 1.0")

    levels = root.findall(f"{q(ASM_V3, 'trustInfo')}/{q(ASM_V3, 'security')}/{q(ASM_V3, 'requestedPrivileges')}/"
                          f"{q(ASM_V3, 'requestedExecutionLevel')}")
    if len(levels) != 1:
        failures.append(f"{len(levels)} requestedExecutionLevel elements, expected 1")
    else:
        if levels[0].get("level") != expected_level:
            failures.append(f"execution level {levels[0].get('level')!r}, expected {expected_level!r}")
        if levels[0].get("uiAccess") != "false":
            failures.append(f"uiAccess {levels[0].get('uiAccess')!r}, expected 'false'")

    found = [os.get("Id") for os in root.findall(
        f"{q(COMPATIBILITY_V1, 'compatibility')}/{q(COMPATIBILITY_V1, 'application')}/{q(COMPATIBILITY_V1, 'supportedOS')}")]
    for name, guid in SUPPORTED_OS.items():
        if guid not in found:
            failures.append(f"no supportedOS entry for {name} ({guid})")
    unknown = sorted(set(found) - set(SUPPORTED_OS.values()))
    if unknown:
        failures.append(f"unknown supportedOS entries {unknown}")

    dpi = root.findall(f"{q(ASM_V3, 'application')}/{q(ASM_V3, 'windowsSettings')}/"
                       f"{q(WINDOWS_SETTINGS_2005, 'dpiAware')}")
    # "true" is system DPI awareness; "true/pm" or "per monitor" would be per-monitor awareness.
    if [element.text.strip().lower() for element in dpi if element.text] != ["true"]:
        failures.append(f"dpiAware {[element.text for element in dpi]}, expected one element 'true'")

    identities = [element.attrib for element in root.findall(
        f"{q(ASM_V1, 'dependency')}/{q(ASM_V1, 'dependentAssembly')}/{q(ASM_V1, 'assemblyIdentity')}")]
    if identities != [COMMON_CONTROLS]:
        failures.append(f"dependencies {identities}, expected only {COMMON_CONTROLS}")
    return failures


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    program, expected_level = argv[1:]
    with open(program, "rb") as file:
        resources = read_resources(PeImage(file.read()))
    manifests = [r for r in resources if r.type_id == RT_MANIFEST]
    if [(r.name_id, r.language) for r in manifests] != [(CREATEPROCESS_MANIFEST_RESOURCE_ID, 0x0409)]:
        print(f"FAIL manifest resources {[(r.name_id, r.language) for r in manifests]}, expected [(1, 1033)]")
        return 1
    failures = check_manifest(manifests[0].data, expected_level)
    for failure in failures:
        print("FAIL", failure)
    if failures:
        return 1
    print(f"ok: {program}: {expected_level}, {len(SUPPORTED_OS)} supported Windows versions, system DPI aware, "
          f"Common Controls 6")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
