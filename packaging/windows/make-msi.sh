#!/bin/sh
# make-msi.sh WINDOWS_BUILD VERSION WORK OUT.msi
# The Windows installer, from the .wxs that CMake configured. VERSION is an
# argument so that the tests can build a newer package of the same program.
#
# wixl cannot write strings outside ASCII into the database, so the .wxs
# holds ASCII stand-ins for the Chinese texts. Once wixl is done, msibuild
# sets the database's code page to 936 and writes the real texts, and mends
# two things this wixl gets wrong: it marks the custom action that sets the
# help link as deferred (it must run at once), it makes the Start-menu
# shortcut an advertised one (it must point at the program), and it knows no
# AllowSameVersionUpgrades: the upgrade's upper version becomes inclusive
# (msidbUpgradeAttributesVersionMaxInclusive, 0x200), so that a rebuilt
# package of the same version replaces the installed one instead of being
# installed beside it.
set -eu
build=$1 version=$2 work=$3 out=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$build/release.env"

verb_text="用 $QUERNEL_PRODUCT 列出文件(&Q)"
downgrade_text="已经安装了更新版本的 $QUERNEL_PRODUCT，安装已取消。"

mkdir -p "$work"
x86_64-w64-mingw32-strip -o "$work/$QUERNEL_PRODUCT.exe" "$build/src/platform/win32/$QUERNEL_PRODUCT.exe"
cp "$root/resources/help.htm" "$root/resources/quernel.ico" "$work/"
cp "$build/packaging/quernel.wxs" "$work/"
rm -f "$out"
(cd "$work" && LC_ALL=C.UTF-8 wixl -a x64 -D Version="$version" -o "$out" quernel.wxs 2>"$work/wixl.log") || {
  cat "$work/wixl.log" >&2
  exit 1
}

printf '\r\n\r\n936\t_ForceCodepage\r\n' >"$work/_ForceCodepage.idt"
msibuild "$out" -i "$work/_ForceCodepage.idt"
# The summary (the file's properties): its strings stay ASCII.
msibuild "$out" -s "$QUERNEL_PRODUCT $version" "$QUERNEL_PRODUCT" "x64;2052"
sql() { printf '%s' "$1" | sed "s/'/''/g"; }  # a text as an SQL string
LC_ALL=C.UTF-8 msibuild "$out" \
  -q "UPDATE \`Property\` SET \`Value\`='$(sql "$QUERNEL_PUBLISHER")' WHERE \`Property\`='Manufacturer'" \
  -q "UPDATE \`Registry\` SET \`Value\`='$(sql "$verb_text")' WHERE \`Value\`='VERB_TEXT'" \
  -q "UPDATE \`LaunchCondition\` SET \`Description\`='$(sql "$downgrade_text")' WHERE \`Description\`='DOWNGRADE_TEXT'" \
  -q "UPDATE \`CustomAction\` SET \`Type\`=51 WHERE \`Action\`='SetHelpLink'" \
  -q "UPDATE \`Shortcut\` SET \`Target\`='[#QuernelExe]' WHERE \`Shortcut\`='StartMenuShortcut'"
# Attributes is part of the Upgrade table's key: the row is replaced.
upgrade=$(msiinfo export "$out" Upgrade | tr -d '\r' | awk -F'\t' '$7 == "WIX_UPGRADE_DETECTED"')
upgrade_code=$(printf '%s' "$upgrade" | cut -f1) upgrade_max=$(printf '%s' "$upgrade" | cut -f3)
[ -n "$upgrade_code" ] && [ -n "$upgrade_max" ] || { echo "make-msi.sh: no upgrade row" >&2; exit 1; }
msibuild "$out" -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\`='WIX_UPGRADE_DETECTED'" \
  -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade_code', '$upgrade_max', 513, 'WIX_UPGRADE_DETECTED')"

# Every ASCII stand-in must be gone.
for table in Property Registry LaunchCondition; do
  if msiinfo export "$out" $table | grep -q '_TEXT'; then
    echo "make-msi.sh: a stand-in text is left in the $table table" >&2
    exit 1
  fi
done
