#!/bin/sh
# make-zip.sh WINDOWS_BUILD WORK OUT.zip
# The portable edition: a top folder Quernel\ with the stripped program, the
# help page and 说明.txt (UTF-8 with a byte-order mark and CRLF line ends,
# which Notepad on every Windows reads as Chinese). Entries sorted, times
# from SOURCE_DATE_EPOCH, no extra fields: the same bytes for one commit.
set -eu
build=$1 work=$2 out=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$build/release.env"

top="$work/$QUERNEL_PRODUCT"
mkdir -p "$top"
x86_64-w64-mingw32-strip -o "$top/$QUERNEL_PRODUCT.exe" "$build/src/platform/win32/$QUERNEL_PRODUCT.exe"
cp "$root/resources/help.htm" "$top/help.htm"
{ printf '\357\273\277'; sed 's/$/\r/' "$build/packaging/说明.txt"; } >"$top/说明.txt"

chmod 755 "$top" "$top/$QUERNEL_PRODUCT.exe"
chmod 644 "$top/help.htm" "$top/说明.txt"
find "$top" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
rm -f "$out"
# zip writes names as UTF-8 and marks them so (general-purpose bit 11)
# under a UTF-8 locale; TZ=UTC fixes the DOS times.
(cd "$work" && find "$QUERNEL_PRODUCT" | LC_ALL=C sort | LC_ALL=C.UTF-8 TZ=UTC zip -X -q -@ "$out")
