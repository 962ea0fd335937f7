#!/bin/sh
# check-msi.sh MSI WINDOWS_BUILD END_TO_END_EXE
# The installer as a user meets it, under Wine (inside scripts/with-wine.sh):
# a silent install, its files, Start-menu shortcut, Programs and Features
# entry and Explorer verbs; one whole listing by the installed program; a
# rebuilt package of the same version and a newer one over it, each of which
# leaves one entry and one set of files; and a
# silent uninstall, after which nothing is left in Program Files but the
# user's own files (in the user's work folder) are.
. "$(dirname "$0")/common.sh"
msi=$1 build=$2 driver=$3
need_release_file "$msi"
. "$build/release.env"
work=$(mktemp -d)
newer="$work/$QUERNEL_PRODUCT-newer-x64.msi" same="$work/$QUERNEL_PRODUCT-same-x64.msi"

installed="$WINEPREFIX/drive_c/Program Files/$QUERNEL_PRODUCT"
program_folder="C:\\Program Files\\$QUERNEL_PRODUCT"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
verb_keys='HKCR\Directory\shell\Quernel HKCR\Directory\Background\shell\Quernel'

msiexec() { wine msiexec "$1" "$(winepath -w "$2")" /qn; }
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
# A product code as Windows Installer files its products: the first three
# parts reversed, then each byte's two digits swapped.
packed() {
  printf '%s\n' "$1" | awk '{ s = $0; gsub(/[{}-]/, "", s); out = ""
    for (i = 8; i >= 1; i--) out = out substr(s, i, 1)
    for (i = 12; i >= 9; i--) out = out substr(s, i, 1)
    for (i = 16; i >= 13; i--) out = out substr(s, i, 1)
    for (i = 17; i <= 32; i += 2) out = out substr(s, i + 1, 1) substr(s, i, 1)
    print out }'
}
key_exists() { wine reg query "$1" >/dev/null 2>&1; }
# A value's data as text; '' names the key's default value.
value() {
  if [ -z "$2" ]; then wine reg query "$1" /ve; else wine reg query "$1" /v "$2"; fi 2>/dev/null |
    iconv -f GBK -t UTF-8 | tr -d '\r' | sed -n 's/.*REG_[A-Z_]*    //p' | head -1
}
expect_value() {  # KEY NAME EXPECTED
  [ "$(value "$1" "$2")" = "$3" ] || fail "$1 [$2] is \"$(value "$1" "$2")\", not \"$3\""
}
shortcut() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/*' -name "$QUERNEL_PRODUCT.lnk"; }

cleanup() {
  [ -f "$newer" ] && msiexec /x "$newer" >/dev/null 2>&1
  [ -f "$same" ] && msiexec /x "$same" >/dev/null 2>&1
  msiexec /x "$msi" >/dev/null 2>&1
  rm -rf "$work" "$installed"
}
trap cleanup EXIT
cleanup
mkdir -p "$work"
code=$(product_code "$msi")

echo "-- install $(basename "$msi")"
msiexec /i "$msi" || fail "msiexec /i ended with $?"
for file in "$QUERNEL_PRODUCT.exe" help.htm; do
  [ -f "$installed/$file" ] || fail "$file is not installed"
done
cmp -s "$installed/help.htm" "$root/resources/help.htm" || fail "the installed help.htm differs"
[ -n "$(shortcut)" ] || fail "no Start-menu shortcut"
echo "shortcut: $(shortcut)"
entry="$uninstall_key\\$code"
expect_value "$entry" DisplayName "$QUERNEL_PRODUCT"
expect_value "$entry" DisplayVersion "$QUERNEL_VERSION"
expect_value "$entry" Publisher "$QUERNEL_PUBLISHER"
expect_value "$entry" HelpLink "$program_folder\\help.htm"
# Programs and Features shows the icon that the product's registration names.
icon=$(value "HKCR\\Installer\\Products\\$(packed "$code")" ProductIcon)
case $icon in *quernel.ico) ;; *) fail "the product's icon is \"$icon\"" ;; esac
[ -f "$(winepath -u "$icon")" ] || fail "the product's icon $icon is missing"
for key in $verb_keys; do
  expect_value "$key" '' "用 $QUERNEL_PRODUCT 列出文件(&Q)"
done
expect_value 'HKCR\Directory\shell\Quernel\command' '' "\"$program_folder\\$QUERNEL_PRODUCT.exe\" \"%1\""
expect_value 'HKCR\Directory\shell\Quernel' MultiSelectModel Single  # one program, not one per folder
expect_value 'HKCR\Directory\Background\shell\Quernel\command' '' "\"$program_folder\\$QUERNEL_PRODUCT.exe\" \"%V\""

echo "-- one listing by the installed program"
run_packaged_session "$driver" "$program_folder" "$work/run.log"
# An installed program works in the user's folder, never in its own.
listing() { find "$WINEPREFIX/drive_c/users" -ipath '*/AppData/Local/Quernel/path.txt'; }
[ -n "$(listing)" ] || fail "the listing is not in the user's work folder"
[ -z "$(find "$installed" -iname 'path.*')" ] || fail "the installed program wrote into $installed"

echo "-- the same version, rebuilt, over it"
"$root/packaging/windows/make-msi.sh" "$build" "$QUERNEL_VERSION" "$work/same" "$same"
same_code=$(product_code "$same")
[ "$same_code" != "$code" ] || fail "the rebuilt package has the same product code"
msiexec /i "$same" || fail "msiexec /i of the rebuilt package ended with $?"
key_exists "$entry" && fail "the first entry is still in Programs and Features beside the rebuilt one"
entry="$uninstall_key\\$same_code"
expect_value "$entry" DisplayVersion "$QUERNEL_VERSION"

echo "-- a newer package over it"
"$root/packaging/windows/make-msi.sh" "$build" 1.00.9999 "$work/newer" "$newer"
newer_code=$(product_code "$newer")
msiexec /i "$newer" || fail "msiexec /i of the newer package ended with $?"
key_exists "$entry" && fail "the older entry is still in Programs and Features"
expect_value "$uninstall_key\\$newer_code" DisplayVersion 1.00.9999
[ "$(find "$installed" -iname "$QUERNEL_PRODUCT.exe" | wc -l)" = 1 ] || fail "not one program after the upgrade"
[ "$(shortcut | wc -l)" = 1 ] || fail "not one shortcut after the upgrade"

echo "-- uninstall"
msiexec /x "$newer" || fail "msiexec /x ended with $?"
for file in "$QUERNEL_PRODUCT.exe" help.htm; do
  [ ! -e "$installed/$file" ] || fail "$file is left after uninstalling"
done
[ -z "$(shortcut)" ] || fail "the shortcut is left after uninstalling"
key_exists "$uninstall_key\\$newer_code" && fail "the entry is left in Programs and Features"
for key in $verb_keys; do
  key_exists "$key" && fail "$key is left after uninstalling"
done
[ ! -e "$installed" ] || fail "uninstalling left $installed: $(ls "$installed")"
[ -n "$(listing)" ] || fail "uninstalling removed the user's listing"
echo "ok: the MSI"
