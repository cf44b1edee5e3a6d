#!/bin/sh
# Starts or stops the Wine prefix that a test run shares: wine-prefix.sh start|stop PREFIX
#
# start makes the prefix if needed and keeps one wineserver alive for the whole run. Without
# it Wine stops the service manager about a second after the last program ends, so services
# would vanish between two test commands.
set -eu
action=$1
prefix=$(realpath -m "$2")
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=$(command -v wineserver)

case "$action" in
start)
    "$server" -k 2>/dev/null || true
    if [ ! -f "$prefix/system.reg" ]; then
        mkdir -p "$prefix"
        "$wine" wineboot -i >"$prefix.boot.log" 2>&1
    fi
    "$server" -w
    "$server" -p >/dev/null 2>&1 </dev/null
    # The first program of a server session starts the background processes, and they
    # inherit its standard streams: give them /dev/null rather than a pipe of the test runner.
    "$wine" cmd /c exit >/dev/null 2>&1 </dev/null
    ;;
stop)
    "$server" -k 2>/dev/null || true
    ;;
*)
    echo "usage: $0 start|stop PREFIX" >&2
    exit 2
    ;;
esac
