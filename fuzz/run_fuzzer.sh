#!/bin/sh
# run_fuzzer.sh FUZZER SEED_CORPUS WORK_FOLDER [libFuzzer options...]
# Runs FUZZER over a fresh copy of its seed corpus: libFuzzer adds what it
# finds to its first corpus folder, which must be neither the repository's
# seeds nor what an earlier run left, or runs would differ. A crashing input
# is kept in WORK_FOLDER as crash-*, and its path is printed.
set -eu
fuzzer=$1 seeds=$2 work=$3
shift 3
rm -rf "$work"
mkdir -p "$work/corpus"
cp "$seeds"/* "$work/corpus/"
exec "$fuzzer" -artifact_prefix="$work/" -print_final_stats=1 "$@" "$work/corpus"
