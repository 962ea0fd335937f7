#!/bin/sh
# with-wine.sh COMMAND...
# Runs COMMAND where the Windows build's programs can run under Wine as on a
# Simplified Chinese Windows: a private X display (Xvfb), the zh_CN.UTF-8
# locale (Wine's ANSI and OEM code pages are then 936), a Wine prefix with a
# virtual desktop, and a wine server kept warm for the run. Tears all of it
# down afterwards and exits with COMMAND's status.
#
# The prefix is $QUERNEL_WINEPREFIX, by default build/windows/wineprefix; it
# is created on first use (about 15 s) and reused afterwards.
set -eu

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND..." >&2
  exit 2
fi

root=$(cd "$(dirname "$0")/.." && pwd)
: "${QUERNEL_WINEPREFIX:=$root/build/windows/wineprefix}"

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "with-wine.sh: the zh_CN.UTF-8 locale is missing; run scripts/install-deps.sh test as root" >&2
  exit 1
fi
for tool in Xvfb xauth wine wineserver; do
  command -v "$tool" >/dev/null || { echo "with-wine.sh: $tool is missing; run scripts/install-deps.sh test" >&2; exit 1; }
done

# --- the X display -----------------------------------------------------------
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
  display=$((display + 1))
done
work=$(mktemp -d "${TMPDIR:-/tmp}/quernel-wine.XXXXXX")
export XAUTHORITY="$work/Xauthority"
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
touch "$XAUTHORITY"
xauth -q -f "$XAUTHORITY" add ":$display" . "$cookie"
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -auth "$XAUTHORITY" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!

cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

tries=0
until [ -e "/tmp/.X11-unix/X$display" ]; do
  tries=$((tries + 1))
  if [ $tries -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "with-wine.sh: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done
export DISPLAY=":$display"

# --- Wine ----------------------------------------------------------------------
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers
export WINEPREFIX="$QUERNEL_WINEPREFIX"
export WINEARCH=win64

# Only one wine server per prefix: wait for one left from an earlier run.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

if [ ! -f "$WINEPREFIX/.quernel-ready" ]; then
  echo "with-wine.sh: creating the Wine prefix $WINEPREFIX" >&2
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || wine wineboot -i >/dev/null 2>&1
  # A virtual desktop: windows get their title bars and close promptly.
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1024x768"\r\n' \
    >"$work/desktop.reg"
  wine regedit /S "$(winepath -w "$work/desktop.reg" 2>/dev/null)" >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.quernel-ready"
fi
wineserver -p
# Wine's services start now, not inside COMMAND holding its output open.
wine wineboot >/dev/null 2>&1 </dev/null || true

status=0
"$@" || status=$?
exit $status
