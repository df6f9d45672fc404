#!/bin/bash
# Keeps one virtual display and one Wine server up for a whole test session, so that each program run under
# wine-run.sh takes a fraction of a second instead of starting Wine from cold.
#
# Usage: wine-session.sh start | stop | status | display
#   start    creates the prefix if needed, starts an Xvfb and a persistent wineserver for it; does nothing when a
#            session of the prefix is already running. Always a virtual display: tests never draw on a desktop.
#   stop     ends every Wine process of the prefix and the session's Xvfb (also after a failed or killed run).
#   status   prints "running DISPLAY" or "stopped"; exit status 0 or 1.
#   display  prints the session's display, for tools that look at the screen (exit status 1 without a session).
#
# Runs without a session still work: wine-run.sh then brings its own display for one program.
# Environment: those described in wine-common.sh.

set -u
# shellcheck source=wine-common.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-common.sh"

start_session() {
    zs_lock 600
    if zs_read_session; then
        echo "Wine session already running on $zs_session_display (prefix $zs_prefix)"
        return 0
    fi
    rm -f "$zs_session_file"
    zs_stop_wine_processes
    zs_start_xvfb
    export DISPLAY=$zs_xvfb_display
    zs_prepare_prefix
    # Creating the prefix leaves a wineserver behind that would keep the persistent one from starting.
    zs_stop_wine_processes
    zs_start_persistent_wine || {
        zs_stop_xvfb
        zs_die "could not start the wineserver"
    }
    printf 'display=%s\nxvfb_pid=%s\n' "$zs_xvfb_display" "$zs_xvfb_pid" >"$zs_session_file"
    echo "Wine session running on $zs_xvfb_display (prefix $zs_prefix)"
}

stop_session() {
    zs_lock 600
    local pid=
    zs_read_session && pid=$zs_session_xvfb_pid
    zs_stop_wine_processes
    zs_stop_process "$pid"
    rm -f "$zs_session_file"
    echo "Wine session stopped (prefix $zs_prefix)"
}

zs_find_wine
case ${1:-} in
start) start_session ;;
stop) stop_session ;;
status)
    if zs_read_session; then
        echo "running $zs_session_display"
    else
        echo stopped
        exit 1
    fi
    ;;
display)
    zs_read_session || exit 1
    echo "$zs_session_display"
    ;;
*) zs_die "usage: wine-session.sh start | stop | status | display" ;;
esac
