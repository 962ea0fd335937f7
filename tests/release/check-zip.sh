#!/bin/sh
# check-zip.sh ZIP END_TO_END_EXE
# The portable edition as a user meets it, under Wine (inside
# scripts/with-wine.sh): what it holds, its read-me, and the program
# unpacked into a folder whose path holds a space and Chinese characters,
# run through one whole listing by the end-to-end driver.
. "$(dirname "$0")/common.sh"
zip=$1 driver=$2
need_release_file "$zip"

listing=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
[ "$listing" = "Quernel/ Quernel/Quernel.exe Quernel/help.htm Quernel/说明.txt " ] || fail "the ZIP holds: $listing"

unpacked="$WINEPREFIX/drive_c/quernel-release/程序 目录"
rm -rf "$unpacked"
mkdir -p "$unpacked"
trap 'rm -rf "$WINEPREFIX/drive_c/quernel-release"' EXIT
unzip -q "$zip" -d "$unpacked"

readme="$unpacked/Quernel/说明.txt"
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "说明.txt has no UTF-8 byte-order mark"
[ "$(grep -c "$(printf '\r')\$" "$readme")" = "$(wc -l <"$readme")" ] || fail "说明.txt has lines without CRLF"
for words in path.bat path.txt '%LOCALAPPDATA%\Quernel' shell:sendto 删除 显示更多选项; do
  grep -qF "$words" "$readme" || fail "说明.txt does not mention $words"
done
cmp -s "$unpacked/Quernel/help.htm" "$root/resources/help.htm" || fail "help.htm differs from the source's"

run_packaged_session "$driver" 'C:\quernel-release\程序 目录\Quernel' "$unpacked/../run.log"
echo "ok: the ZIP"
