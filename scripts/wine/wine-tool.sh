#!/bin/bash
# Small helpers for tests that look at what a program left in the Wine prefix.
#
# Usage: wine-tool.sh COMMAND [ARGS...]
#   prefix           prints the prefix directory
#   drive-c          prints the directory that is drive C:
#   win-ini          prints the path of WIN.INI (what WriteProfileString writes)
#   winpath PATH     prints the Windows path under which Wine sees a Linux path (C:\... inside drive C:,
#                    else Z:\..., Wine's default mapping of the root directory)
#   reg add|query|delete|export ARGS...
#                    runs Wine's reg.exe through wine-run.sh, e.g.
#                    wine-tool.sh reg query 'HKLM\Software\Zemrova' /v Name
#                    The registry reaches the files of the prefix only when the wineserver ends, so read it
#                    through reg, never from user.reg or system.reg.
#
# Environment: those described in wine-common.sh.

set -u
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=wine-common.sh
. "$here/wine-common.sh"

windows_path() {
    local path drive_c rest
    path=$(realpath -m -- "$1") || zs_die "cannot resolve $1"
    drive_c=$(realpath -m -- "$zs_prefix/drive_c")
    case $path/ in
    "$drive_c"/*)
        rest=${path#"$drive_c"}
        rest=${rest#/}
        printf 'C:\\%s\n' "${rest//\//\\}"
        ;;
    *) printf 'Z:%s\n' "${path//\//\\}" ;;
    esac
}

case ${1:-} in
prefix) echo "$zs_prefix" ;;
drive-c) echo "$zs_prefix/drive_c" ;;
win-ini) echo "$zs_prefix/drive_c/windows/win.ini" ;;
winpath)
    [ $# -eq 2 ] || zs_die "usage: wine-tool.sh winpath PATH"
    windows_path "$2"
    ;;
reg)
    case ${2:-} in add | query | delete | export) ;; *) zs_die "usage: wine-tool.sh reg add|query|delete|export ARGS..." ;; esac
    shift
    exec "$here/wine-run.sh" --timeout 60 reg "$@"
    ;;
*) zs_die "usage: wine-tool.sh prefix | drive-c | win-ini | winpath PATH | reg add|query|delete|export ARGS..." ;;
esac
