#!/bin/sh
# Builds the 32-bit Windows release package into dist/ and shows it working: kzqdump and the
# library, built for 64-bit Windows (these machines run no 32-bit program), read a sample
# export under Wine.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh

cmake --preset win32
cmake --build --preset win32
rm -rf dist
cmake --install build/win32 --prefix dist
echo "== dist/"
ls -l dist

cmake --preset win64
cmake --build --preset win64
prefix="$PWD/build/win64/wineprefix"
sh cmake/wine-prefix.sh start "$prefix"
trap 'sh cmake/wine-prefix.sh stop "$prefix"' EXIT
echo "== kzqdump.exe tests/data/example.reg (under Wine)"
sh cmake/wine-run.sh "$prefix" build/win64/bin/kzqdump.exe "Z:$(pwd | tr / '\\')\\tests\\data\\example.reg"
