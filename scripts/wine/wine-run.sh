#!/bin/bash
# Runs one Windows program under Wine in the project's test prefix (a 64-bit prefix) and returns its exit status.
# The wine64 loader runs x86_64 programs itself and hands i686 ones to the 32-bit loader, which runs them under
# WOW64 (this needs the 32-bit Wine and a machine that runs 32-bit programs).
#
# Usage: wine-run.sh [--timeout SECONDS] PROGRAM [ARGS...]
#   PROGRAM is the path of an .exe, or a program that Wine provides itself (reg, cmd, ...).
#
# Display: the running session's Xvfb (wine-session.sh start) when there is one; else $DISPLAY when set; else an
# Xvfb of its own for this one run, stopped afterwards together with every Wine process of the prefix.
# The prefix is created on first use. One run at a time per prefix (a lock beside it). The program runs in the
# current directory with standard input from /dev/null. Its standard output and error go to files first and
# are copied to ours when it ends: a Wine process that it starts and that outlives it (a service process, say)
# then holds a file open, not the caller's pipe.
#
# Exit status: the program's (0..255); 124 when it ran past the time limit (every process of the prefix is then
# ended); 125 when this script failed (no Wine, no Xvfb, prefix not ready, lock not obtained).
# A program that crashes may still end with 0 or 5 under Wine: check its output as well.
#
# Environment: ZS_WINE_TIMEOUT (seconds, default 120) and those described in wine-common.sh.

set -u
# shellcheck source=wine-common.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-common.sh"

timeout_s=${ZS_WINE_TIMEOUT:-120}
if [ "${1:-}" = --timeout ]; then
    timeout_s=${2:-}
    shift 2 || zs_die "--timeout needs a number of seconds"
fi
case $timeout_s in '' | *[!0-9]*) zs_die "the time limit must be a whole number of seconds" ;; esac
[ $# -ge 1 ] || zs_die "usage: wine-run.sh [--timeout SECONDS] PROGRAM [ARGS...]"
program=$1
shift
case $program in */*) [ -f "$program" ] || zs_die "no such program: $program" ;; esac

zs_find_wine

run_pid=
private_display=
output_dir=
# shellcheck disable=SC2317  # called through the EXIT trap
cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    if [ -n "$run_pid" ]; then
        kill "$run_pid" 2>/dev/null
        wait "$run_pid" 2>/dev/null
    fi
    if [ -n "$output_dir" ]; then
        cat "$output_dir/stdout"
        cat "$output_dir/stderr" >&2
        rm -rf "$output_dir"
    fi
    if [ -n "$private_display" ]; then
        # Nothing of this run may outlive its display.
        zs_stop_wine_processes
        zs_stop_xvfb
    fi
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

zs_lock $((timeout_s + 300))

in_session=
if zs_read_session; then
    in_session=1
    export DISPLAY=$zs_session_display
else
    if [ -f "$zs_session_file" ]; then
        zs_log "the session's display is gone; ending its Wine processes"
        rm -f "$zs_session_file"
    fi
    # Wine processes left from another display would keep drawing there.
    zs_stop_wine_processes
    if [ -z "${DISPLAY:-}" ]; then
        zs_start_xvfb
        private_display=1
        export DISPLAY=$zs_xvfb_display
    fi
fi
zs_prepare_prefix

output_dir=$(mktemp -d "${TMPDIR:-/tmp}/zs-wine-run.XXXXXX") || zs_die "mktemp failed"
timeout -k 5 "$timeout_s" "$zs_wine" "$program" "$@" </dev/null >"$output_dir/stdout" 2>"$output_dir/stderr" 9>&- &
run_pid=$!
wait "$run_pid"
rc=$?
run_pid=
if [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
    zs_log "$program ran past ${timeout_s} s and was stopped; ending every Wine process of the prefix"
    rc=124
    zs_stop_wine_processes
    # A session keeps a persistent server so that the next run starts fast.
    [ -n "$in_session" ] && zs_start_persistent_wine
fi
exit "$rc"
