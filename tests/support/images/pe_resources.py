"""Reads the resources of a PE image (DLL or EXE, 32 or 64 bit) and decodes the kinds ZSRES.DLL holds:
string tables, classic dialog templates and the version block. Standard library only."""

import struct
from dataclasses import dataclass, field

RT_DIALOG = 5
RT_STRING = 6
RT_VERSION = 16

DS_SETFONT = 0x40
_RESOURCE_DIRECTORY_INDEX = 2


class PeFormatError(Exception):
    pass


@dataclass
class Resource:
    type_id: object  # int, or str for a named type
    name_id: object  # int, or str for a named resource
    language: int
    data: bytes


class PeImage:
    """The section table of a PE file and reads by relative virtual address."""

    def __init__(self, data: bytes):
        self.data = data
        if data[:2] != b"MZ":
            raise PeFormatError("no MZ header")
        pe_offset = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise PeFormatError("no PE signature")
        (self.machine, section_count, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe_offset + 4)
        optional = pe_offset + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic == 0x10B:
            directory_count_offset = optional + 92
        elif magic == 0x20B:
            directory_count_offset = optional + 108
        else:
            raise PeFormatError(f"unknown optional header magic {magic:#x}")
        directory_count = struct.unpack_from("<I", data, directory_count_offset)[0]
        self.directories = [struct.unpack_from("<II", data, directory_count_offset + 4 + 8 * i)
                            for i in range(directory_count)]
        self.sections = []
        for i in range(section_count):
            header = optional + optional_size + 40 * i
            name = data[header:header + 8].rstrip(b"\0").decode("ascii", "replace")
            virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
                "<IIII", data, header + 8)
            self.sections.append((name, virtual_address, max(virtual_size, raw_size), raw_offset, raw_size))

    def read(self, rva: int, size: int) -> bytes:
        for _, address, span, raw_offset, raw_size in self.sections:
            if address <= rva and rva + size <= address + span:
                start = rva - address
                stored = self.data[raw_offset + start:raw_offset + min(start + size, raw_size)]
                return stored + b"\0" * (size - len(stored))  # the rest of the section is zero-filled
        raise PeFormatError(f"RVA {rva:#x}+{size:#x} lies in no section")

    def directory(self, index: int):
        return self.directories[index] if index < len(self.directories) else (0, 0)


def read_resources(image: PeImage):
    """All resources as a flat list, walking the three levels type / name / language."""
    root_rva, root_size = image.directory(_RESOURCE_DIRECTORY_INDEX)
    if root_rva == 0:
        return []
    tree = image.read(root_rva, root_size)

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", tree, offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", tree, offset + 16 + 8 * i)
            if name & 0x80000000:
                string_offset = name & 0x7FFFFFFF
                length = struct.unpack_from("<H", tree, string_offset)[0]
                key = tree[string_offset + 2:string_offset + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name
            yield key, target

    resources = []
    for type_id, type_target in entries(0):
        if not type_target & 0x80000000:
            raise PeFormatError("resource type without a name level")
        for name_id, name_target in entries(type_target & 0x7FFFFFFF):
            if not name_target & 0x80000000:
                raise PeFormatError("resource name without a language level")
            for language, leaf in entries(name_target & 0x7FFFFFFF):
                if leaf & 0x80000000 or not isinstance(language, int):
                    raise PeFormatError("malformed language level")
                data_rva, data_size = struct.unpack_from("<II", tree, leaf)
                resources.append(Resource(type_id, name_id, language, image.read(data_rva, data_size)))
    return resources


def decode_string_bundle(bundle_id: int, data: bytes):
    """The strings of one RT_STRING bundle as {string ID: text}; empty slots are absent strings."""
    strings = {}
    offset = 0
    for index in range(16):
        length = struct.unpack_from("<H", data, offset)[0]
        offset += 2
        if length:
            strings[(bundle_id - 1) * 16 + index] = data[offset:offset + 2 * length].decode("utf-16-le")
        offset += 2 * length
    return strings


class _Reader:
    """Sequential reads of little-endian words and UTF-16 texts from a resource."""

    def __init__(self, data: bytes, offset: int = 0):
        self.data = data
        self.offset = offset

    def unpack(self, fmt):
        values = struct.unpack_from(fmt, self.data, self.offset)
        self.offset += struct.calcsize(fmt)
        return values

    def text(self):
        end = self.offset
        while self.data[end:end + 2] != b"\0\0":
            end += 2
            if end >= len(self.data):
                raise PeFormatError("unterminated text")
        value = self.data[self.offset:end].decode("utf-16-le")
        self.offset = end + 2
        return value

    def text_or_ordinal(self):
        """None for an absent field, an int for an ordinal, else the text."""
        first = struct.unpack_from("<H", self.data, self.offset)[0]
        if first == 0:
            self.offset += 2
            return None
        if first == 0xFFFF:
            self.offset += 4
            return struct.unpack_from("<H", self.data, self.offset - 2)[0]
        return self.text()

    def align4(self):
        self.offset = (self.offset + 3) & ~3


@dataclass
class DialogItem:
    style: int
    ex_style: int
    x: int
    y: int
    cx: int
    cy: int
    id: int
    window_class: object  # predefined class atom (int) or class name
    text: object  # text, resource ordinal or None
    extra: bytes


@dataclass
class DialogTemplate:
    style: int
    ex_style: int
    x: int
    y: int
    cx: int
    cy: int
    menu: object
    window_class: object
    caption: str
    point_size: object  # None without DS_SETFONT
    typeface: object
    items: list = field(default_factory=list)


def decode_dialog(data: bytes) -> DialogTemplate:
    """A classic DLGTEMPLATE with its items; an extended template (DLGTEMPLATEEX) is refused."""
    if struct.unpack_from("<HH", data, 0) == (1, 0xFFFF):
        raise PeFormatError("extended dialog template where a classic one is expected")
    reader = _Reader(data)
    style, ex_style, count, x, y, cx, cy = reader.unpack("<IIHhhhh")
    menu = reader.text_or_ordinal()
    window_class = reader.text_or_ordinal()
    caption = reader.text()
    point_size = typeface = None
    if style & DS_SETFONT:
        point_size = reader.unpack("<H")[0]
        typeface = reader.text()
    dialog = DialogTemplate(style, ex_style, x, y, cx, cy, menu, window_class, caption, point_size, typeface)
    for _ in range(count):
        reader.align4()
        item_style, item_ex_style, ix, iy, icx, icy, item_id = reader.unpack("<IIhhhhH")
        item_class = reader.text_or_ordinal()
        item_text = reader.text_or_ordinal()
        extra_size = reader.unpack("<H")[0]
        extra = data[reader.offset:reader.offset + extra_size]
        reader.offset += extra_size
        dialog.items.append(DialogItem(item_style, item_ex_style, ix, iy, icx, icy, item_id, item_class,
                                       item_text, extra))
    return dialog


@dataclass
class VersionNode:
    key: str
    value: object  # text for text nodes, bytes for binary ones
    children: list


def decode_version_node(data: bytes, offset: int = 0) -> VersionNode:
    """One node of a version block (VS_VERSIONINFO, StringFileInfo, String, Var, ...) with its children."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    reader = _Reader(data, offset + 6)
    key = reader.text()
    reader.align4()
    if value_type == 1:  # text, value_length counts UTF-16 units
        raw = data[reader.offset:reader.offset + 2 * value_length]
        value = raw.decode("utf-16-le").split("\0", 1)[0]
        reader.offset += 2 * value_length
    else:
        value = data[reader.offset:reader.offset + value_length]
        reader.offset += value_length
    children = []
    end = offset + length
    reader.align4()
    while reader.offset < end:
        child = decode_version_node(data, reader.offset)
        children.append(child)
        child_length = struct.unpack_from("<H", data, reader.offset)[0]
        if child_length == 0:
            raise PeFormatError("version node of length 0")
        reader.offset += child_length
        reader.align4()
    return VersionNode(key, value, children)
