#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the given throw-away prefix: wine-run.sh PREFIX PROGRAM ARGS...
# A crash ends the program at once (no debugger is started to wait on it).
set -eu
prefix=$1
shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    # Serialise the first start: parallel tests would otherwise each create the prefix.
    (flock 9; [ -f "$prefix/system.reg" ] || /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true) 9>"$prefix.lock"
fi
exec /usr/lib/wine/wine64 "$@"
