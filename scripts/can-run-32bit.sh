#!/usr/bin/env bash
# Finds out whether this machine runs 32-bit x86 programs, by running one: a static i386 Linux program of 96
# bytes that ends with status 42 (exit through int 0x80). Some kernels lack the 32-bit support, and then every
# 32-bit program fails ("Exec format error"); the machine's name for its processor does not tell.
#
# usage: can-run-32bit.sh [DIR]   writes the program to a new directory in DIR (default: $TMPDIR or /tmp),
#                                 which must allow running programs
# Exit status: 0 when the program ran and ended with 42, 1 otherwise.
set -u

work=$(mktemp -d "${1:-${TMPDIR:-/tmp}}/zs-probe32.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT

# ELF header (52 bytes): 32-bit, little-endian, executable for Intel 80386, entry 0x08048054, one program
# header right after it.
elf_header='\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'
elf_header+='\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000'
elf_header+='\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000'
# Program header (32 bytes): the whole file loaded at 0x08048000, readable and executable.
program_header='\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010'
program_header+='\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000'
# Code (12 bytes): mov eax, 1 (exit); mov ebx, 42; int 0x80.
code='\270\001\000\000\000\273\052\000\000\000\315\200'

printf "$elf_header$program_header$code" >"$work/probe32" && chmod +x "$work/probe32" || exit 1
"$work/probe32" 2>/dev/null
[ $? -eq 42 ]
