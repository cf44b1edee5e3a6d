#!/bin/sh
# Runs one Windows program of the build under Wine: wine-run.sh PREFIX PROGRAM [ARG...]
# Every Windows test program goes through here, so they all share the build tree's prefix.
prefix=$(realpath -m "$1")
shift
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec /usr/lib/wine/wine64 "$@"
