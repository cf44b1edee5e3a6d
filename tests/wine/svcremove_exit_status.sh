#!/bin/sh
# What a Linux caller of Wine sees when svcremove fails: status 255, the low 8 bits of -1, the
# message with CR LF on standard error and nothing on standard output.
#   svcremove_exit_status.sh WINE_RUN PREFIX SVCREMOVE_EXE
set -u
run=$1
prefix=$2
program=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

sh "$run" "$prefix" "$program" >"$scratch/out" 2>"$scratch/err" </dev/null
status=$?
printf 'Invalid command line.\r\n' >"$scratch/expected"

failed=0
[ "$status" -eq 255 ] || { echo "exit status $status, expected 255"; failed=1; }
cmp -s "$scratch/err" "$scratch/expected" || { echo "standard error:"; od -c "$scratch/err"; failed=1; }
[ ! -s "$scratch/out" ] || { echo "standard output:"; od -c "$scratch/out"; failed=1; }
exit $failed
