#!/bin/sh
# Installs whatever the build and the tests need and this Debian machine lacks. Run as root.
set -eu
packages="cmake ninja-build g++ clang libclang-rt-dev googletest libgtest-dev
g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 binutils-mingw-w64-i686"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    # shellcheck disable=SC2086
    apt-get install -y -q $missing
fi
