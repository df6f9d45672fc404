# shellcheck shell=bash
# Sourced by the Wine scripts beside it: where the prefix lives, the Wine binaries, the lock that gives one
# script at a time the prefix, the prefix's first preparation, and the virtual display.
#
# Environment (all optional):
#   ZS_WINEPREFIX   the prefix (default ${XDG_CACHE_HOME:-$HOME/.cache}/zemsetup/wineprefix); created on first use
#   ZS_WINE         the wine64 loader (default /usr/lib/wine/wine64, else wine64 on PATH), named explicitly so
#                   that an installed 32-bit Wine changes nothing for the x86_64 programs
#   ZS_WINE_SCREEN  geometry of a virtual display (default 1024x768x24)
#   WINEDEBUG       passed on to Wine (default -all)
# LC_ALL is always C.UTF-8 for Wine (see below).
#
# Beside the prefix live PREFIX.lock (flock; every script holds it while it uses the prefix) and PREFIX.session
# (the display and Xvfb process id of a running session, see wine-session.sh).
#
# File descriptor 9 holds the lock. Every command that may start a long-lived process (Xvfb, wineserver, a Wine
# program that starts the wineserver) runs with 9>&-, or that process would keep the lock after we are gone.

zs_log() { printf '%s: %s\n' "${0##*/}" "$*" >&2; }
zs_die() {
    zs_log "$*"
    exit 125
}

zs_prefix=${ZS_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zemsetup/wineprefix}
case $zs_prefix in /*) ;; *) zs_prefix=$PWD/$zs_prefix ;; esac
zs_lock_file=$zs_prefix.lock
zs_session_file=$zs_prefix.session
export WINEPREFIX=$zs_prefix WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# One locale for every run, whatever the caller's: UTF-8 command lines and file names, and Wine's en-US defaults
# (ANSI code page 1252, OEM code page 437, in which reg.exe writes its output).
export LC_ALL=C.UTF-8

zs_find_wine() {
    zs_wine=${ZS_WINE:-}
    if [ -z "$zs_wine" ]; then
        for c in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null)"; do
            if [ -n "$c" ] && [ -x "$c" ]; then
                zs_wine=$c
                break
            fi
        done
    fi
    if [ -z "$zs_wine" ] || [ ! -x "$zs_wine" ]; then
        zs_die "wine64 not found (apt-get install wine64)"
    fi
    # The server binary itself, not a wrapper that adds its own persistence option.
    zs_wineserver=
    local dir
    dir=$(dirname "$zs_wine")
    for c in "$dir/wineserver64" "$dir/wineserver" "$(command -v wineserver 2>/dev/null)"; do
        if [ -n "$c" ] && [ -x "$c" ]; then
            zs_wineserver=$c
            break
        fi
    done
    [ -n "$zs_wineserver" ] || zs_die "wineserver not found next to $zs_wine"
}

# zs_lock SECONDS: take the prefix lock on fd 9, waiting at most SECONDS.
zs_lock() {
    mkdir -p "$(dirname "$zs_prefix")" || zs_die "cannot create $(dirname "$zs_prefix")"
    exec 9>"$zs_lock_file" || zs_die "cannot open $zs_lock_file"
    flock -w "$1" 9 || zs_die "prefix $zs_prefix is busy: lock not obtained in $1 s"
}

zs_unlock() { exec 9>&-; }

# zs_wineserver_cmd ARGS: the prefix's wineserver with the given options, detached from our descriptors.
zs_wineserver_cmd() { "$zs_wineserver" "$@" </dev/null >/dev/null 2>&1 9>&-; }

# Starts a persistent wineserver and Wine's own service processes with none of our descriptors: a service
# process started by a program under test would keep that program's output pipe open, and whoever reads it
# would wait for its end for ever. Needs DISPLAY.
# Right after every process of the prefix was ended, the first start now and then fails while the old server
# is still going away; the start counts only once a program has run through, and is tried again otherwise.
zs_start_persistent_wine() {
    local attempt
    for attempt in 1 2 3; do
        if zs_wineserver_cmd -p && timeout 120 "$zs_wine" cmd /c exit </dev/null >/dev/null 2>&1 9>&-; then
            return 0
        fi
        zs_log "starting the persistent wineserver failed (attempt $attempt); trying again"
        zs_stop_wine_processes
        sleep 1
    done
    return 1
}

# Ends every process of the prefix (bounded) and waits for the server to go.
zs_stop_wine_processes() {
    zs_wineserver_cmd -k
    timeout 30 "$zs_wineserver" -w </dev/null >/dev/null 2>&1 9>&-
}

# Creates the prefix once and prepares it for unattended runs: Wine draws its own window frames so that focus
# works without a window manager, and a crashing program ends instead of waiting in a crash dialog. The stamp
# .zs-prepared in it records the Wine version that made it.
# A prefix that no longer fits the Wine here is made anew: one made by another Wine version, and one made
# before the 32-bit Wine was installed. The latter has no 32-bit system directory (windows/syswow64 is missing
# or empty), every i686 program then fails with "could not load kernel32.dll", and Wine does not add the
# directory later (wineboot -u with either loader leaves it empty).
# Needs DISPLAY and the lock.
zs_prepare_prefix() {
    local stamp=$zs_prefix/.zs-prepared version made_by why
    version=$("$zs_wine" --version 2>/dev/null) || version="an unknown Wine version"
    if [ -f "$stamp" ]; then
        made_by=$(head -n1 "$stamp")
        if [ -x /usr/lib/wine/wine ] && [ ! -f "$zs_prefix/drive_c/windows/syswow64/kernel32.dll" ]; then
            why="was made before the 32-bit Wine was installed"
        elif [ -n "$made_by" ] && [ "$made_by" != "$version" ]; then
            why="was made by $made_by, not by $version"
        else
            # A stamp of the scripts before the version was recorded.
            [ "$made_by" = "$version" ] || printf '%s\n' "$version" >"$stamp"
            return 0
        fi
        zs_log "the Wine prefix $zs_prefix $why: making it anew"
        zs_stop_wine_processes
        # Only a directory these scripts prepared (it has the stamp) is removed.
        rm -rf -- "$zs_prefix" || zs_die "could not remove the Wine prefix $zs_prefix"
    fi
    zs_log "preparing Wine prefix $zs_prefix (takes a few seconds, once)"
    local log
    log=$(mktemp "${TMPDIR:-/tmp}/zs-wineboot.XXXXXX") || zs_die "mktemp failed"
    # No Mono or Gecko installers: nothing under test needs them.
    if ! WINEDLLOVERRIDES=mscoree,mshtml= timeout 300 "$zs_wine" wineboot -i </dev/null >"$log" 2>&1 9>&- ||
        ! timeout 60 "$zs_wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            </dev/null >>"$log" 2>&1 9>&- ||
        ! timeout 60 "$zs_wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            </dev/null >>"$log" 2>&1 9>&-; then
        cat "$log" >&2
        rm -f "$log"
        zs_die "could not prepare the Wine prefix $zs_prefix"
    fi
    rm -f "$log"
    printf '%s\n' "$version" >"$stamp"
}

# zs_start_xvfb: starts an Xvfb on a free display number in its own session, detached from our descriptors, and
# sets zs_xvfb_pid and zs_xvfb_display for the caller.
# shellcheck disable=SC2034
zs_start_xvfb() {
    command -v Xvfb >/dev/null || zs_die "Xvfb not found (apt-get install xvfb)"
    local numfile
    numfile=$(mktemp "${TMPDIR:-/tmp}/zs-xvfb.XXXXXX") || zs_die "mktemp failed"
    setsid Xvfb -displayfd 3 -screen 0 "${ZS_WINE_SCREEN:-1024x768x24}" -nolisten tcp -noreset \
        3>"$numfile" </dev/null >/dev/null 2>&1 9>&- &
    zs_xvfb_pid=$!
    for _ in $(seq 100); do
        grep -q '^[0-9][0-9]*$' "$numfile" 2>/dev/null && break
        kill -0 "$zs_xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! grep -q '^[0-9][0-9]*$' "$numfile" 2>/dev/null; then
        rm -f "$numfile"
        zs_stop_process "$zs_xvfb_pid"
        zs_die "Xvfb did not start"
    fi
    zs_xvfb_display=:$(head -n1 "$numfile")
    rm -f "$numfile"
}

# zs_stop_process PID: ends one process that these scripts started, by its process id only; bounded.
zs_stop_process() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -9 "$1" 2>/dev/null
    return 0
}

# Stops the Xvfb that zs_start_xvfb started.
zs_stop_xvfb() {
    zs_stop_process "${zs_xvfb_pid:-}"
    zs_xvfb_pid=
}

# zs_read_session: sets zs_session_display and zs_session_xvfb_pid when a session of this prefix is running
# (its Xvfb alive and still a display server); returns 1 otherwise.
zs_read_session() {
    zs_session_display=
    zs_session_xvfb_pid=
    [ -f "$zs_session_file" ] || return 1
    local key value
    while IFS='=' read -r key value; do
        case $key in
        display) zs_session_display=$value ;;
        xvfb_pid) zs_session_xvfb_pid=$value ;;
        esac
    done <"$zs_session_file"
    [ -n "$zs_session_display" ] && [ -n "$zs_session_xvfb_pid" ] || return 1
    kill -0 "$zs_session_xvfb_pid" 2>/dev/null || return 1
    [ -S "/tmp/.X11-unix/X${zs_session_display#:}" ] || return 1
    case $(ps -o comm= -p "$zs_session_xvfb_pid" 2>/dev/null) in Xvfb) return 0 ;; esac
    return 1
}
