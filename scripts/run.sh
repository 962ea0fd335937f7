#!/bin/sh
# Builds Quernel for Linux (the Qt 6 program and quernel-cmd, no tests) and
# starts it on the user's desktop. Without a display it runs the window on a
# virtual X display, saves a screenshot, prints its path and exits.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/run"

"$root/scripts/install-deps.sh" run

cmake --preset linux -S "$root" -B "$build" -DQUERNEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target quernel quernel-cmd
program="$build/src/platform/qt/quernel"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program" "$@"
fi

echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set):"
echo "running Quernel on a virtual X display and taking a screenshot of its window."
mkdir -p "$build/screenshots"
screenshot="$build/screenshots/quernel.png"
rm -f "$screenshot"
QUERNEL_SCREENSHOT="$screenshot" xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$program" "$@"
if [ ! -s "$screenshot" ]; then
  echo "The window did not come up: no screenshot was saved." >&2
  exit 1
fi
echo "Screenshot of the window: $screenshot"
