#!/bin/sh
# Runs every test: native unit and integration tests, the sanitizer build, the Windows build
# under Wine, and the check of the 32-bit deliverables' export and import tables.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh

for preset in linux asan win64 win32; do
    echo "== build $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done
for preset in linux asan win64; do
    echo "== test $preset"
    ctest --preset "$preset"
done
echo "== 32-bit deliverables"
# the tables of the 32-bit binaries are checked by the linux preset's binary_tables_test
