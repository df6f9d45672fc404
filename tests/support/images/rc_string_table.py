"""Reads the STRINGTABLE blocks of a UTF-8 resource script the way windres does: comments skipped,
adjacent string literals joined, "" and backslash escapes decoded. String IDs must be integer literals."""

import re

_TOKEN = re.compile(r"""
    (?P<space>\s+)
  | (?P<line_comment>//[^\n]*)
  | (?P<block_comment>/\*.*?\*/)
  | (?P<directive>\#[^\n]*)
  | (?P<string>"(?:[^"\\]|\\.|"")*")
  | (?P<number>0[xX][0-9a-fA-F]+|\d+)[lL]?
  | (?P<word>[A-Za-z_][A-Za-z_0-9]*)
  | (?P<punct>[,{}|()+])
""", re.VERBOSE | re.DOTALL)

_SIMPLE_ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "a": "\a", "b": "\b", "f": "\f", "v": "\v",
                   "\\": "\\", "\"": "\"", "'": "'"}


class RcSyntaxError(Exception):
    pass


def decode_literal(literal: str) -> str:
    """The text of one "..." literal: "" is a quote, backslash escapes as in C (octal and \\x too)."""
    body = literal[1:-1]
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == '"':  # the first half of ""
            out.append('"')
            i += 2
        elif c != "\\":
            out.append(c)
            i += 1
        else:
            e = body[i + 1]
            if e in _SIMPLE_ESCAPES:
                out.append(_SIMPLE_ESCAPES[e])
                i += 2
            elif e in "01234567":
                digits = re.match(r"[0-7]{1,3}", body[i + 1:]).group(0)
                out.append(chr(int(digits, 8)))
                i += 1 + len(digits)
            elif e in "xX":
                digits = re.match(r"[0-9a-fA-F]{1,4}", body[i + 2:]).group(0)
                out.append(chr(int(digits, 16)))
                i += 2 + len(digits)
            else:
                raise RcSyntaxError(f"unknown escape \\{e} in {literal}")
    return "".join(out)


def _tokens(text: str):
    position = 0
    while position < len(text):
        match = _TOKEN.match(text, position)
        if not match:
            line = text.count("\n", 0, position) + 1
            raise RcSyntaxError(f"line {line}: cannot read {text[position:position + 20]!r}")
        position = match.end()
        kind = match.lastgroup
        if kind in ("space", "line_comment", "block_comment", "directive"):
            continue
        yield kind, match.group(kind), text.count("\n", 0, match.start()) + 1


def read_string_tables(text: str):
    """{string ID: text} of every STRINGTABLE in the script; a repeated ID is an error."""
    tokens = list(_tokens(text))
    strings = {}
    i = 0
    while i < len(tokens):
        kind, value, _ = tokens[i]
        i += 1
        if kind != "word" or value != "STRINGTABLE":
            continue
        while tokens[i][1] not in ("BEGIN", "{"):  # memory options, LANGUAGE and the like
            i += 1
        i += 1
        while tokens[i][1] not in ("END", "}"):
            kind, value, line = tokens[i]
            if kind != "number":
                raise RcSyntaxError(f"line {line}: string ID {value!r} is not an integer literal")
            string_id = int(value, 0)
            i += 1
            if tokens[i][1] == ",":
                i += 1
            pieces = []
            while tokens[i][0] == "string":
                pieces.append(decode_literal(tokens[i][1]))
                i += 1
            if not pieces:
                raise RcSyntaxError(f"line {line}: string {string_id} has no text")
            if string_id in strings:
                raise RcSyntaxError(f"line {line}: string {string_id} is defined twice")
            strings[string_id] = "".join(pieces)
        i += 1
    return strings
