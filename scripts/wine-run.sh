#!/bin/sh
# wine-run.sh PROGRAM.exe [ARGUMENTS...]
# Runs a cross-built Windows program under Wine: CTest's emulator for the
# Windows build. Inside scripts/with-wine.sh it uses the display and prefix
# set up there; on its own it sets them up for this one program.
set -eu
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  exec "$(dirname "$0")/with-wine.sh" "$0" "$@"
fi
exec wine "$@"
