#!/bin/sh
# wine-run.sh PROGRAM.exe [ARGUMENTS...]
# Runs a cross-built Windows program under Wine: CTest's emulator for the
# Windows build. Inside scripts/with-wine.sh it uses the display and prefix
# set up there; on its own it sets them up for this one program.
set -eu
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  exec "$(dirname "$0")/with-wine.sh" "$0" "$@"
fi
# Wine's helper processes (services, the desktop) outlive the program and
# inherit its output: through files, a caller that reads a pipe to its end
# (CTest) is not kept waiting for them.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
wine "$@" >"$out" 2>"$err" </dev/null || status=$?
cat "$out"
cat "$err" >&2
exit $status
