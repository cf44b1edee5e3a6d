#!/bin/sh
# Runs every test: native unit and integration tests (among them the check of the 32-bit
# deliverables' export and import tables, so win32 is built first), the sanitizer build, and the
# Windows build under Wine. Every test set runs even when an earlier one fails.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh

for preset in linux asan win64 win32; do
    echo "== build $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done
failed=""
for preset in linux asan win64; do
    echo "== test $preset"
    ctest --preset "$preset" || failed="$failed $preset"
done
if [ -n "$failed" ]; then
    echo "tests failed in:$failed"
    exit 1
fi
