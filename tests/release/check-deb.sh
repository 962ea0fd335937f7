#!/bin/sh
# check-deb.sh contents|lint|run DEB EXPECTED_CONTENTS SCREENSHOTS
# The Debian package as a user meets it: what it holds, what Debian's
# checkers say of it, and the program run from the unpacked package.
set -eu
what=$1 deb=$2 expected=$3 screenshots=$4
[ -f "$deb" ] || { echo "no $deb: run scripts/release.sh first"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

case $what in
contents)
  # Type, mode, owner and path of every entry, links with their targets.
  dpkg-deb -c "$deb" | awk '{ path = $6; for (i = 7; i <= NF; i++) path = path " " $i; print $1, $2, path }' |
    LC_ALL=C sort >"$work/contents"
  diff -u "$expected" "$work/contents" || fail "the package holds other files than expected"
  dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks Qt: $(dpkg-deb -f "$deb" Depends)"
  dpkg-deb -f "$deb" Depends | grep -q 'libicu' || fail "Depends lacks ICU"
  [ "$(dpkg-deb -f "$deb" Recommends)" = "xdg-utils, fonts-wqy-microhei | fonts-noto-cjk" ] ||
    fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"
  ;;
lint)
  dpkg-deb -x "$deb" "$work/root"
  desktop-file-validate "$work"/root/usr/share/applications/*.desktop || fail "desktop-file-validate"
  appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
  lintian --pedantic "$deb" 2>/dev/null | tee "$work/lintian"
  ! grep -q '^E:' "$work/lintian" || fail "lintian reports errors"
  ;;
run)
  # Unpacked where nothing is installed: the program finds its quernel-cmd
  # and help page through the package's own links.
  dpkg-deb -x "$deb" "$work/root"
  program="$work/root/usr/bin/quernel"
  mkdir -p "$screenshots"
  QT_QPA_PLATFORM=offscreen QUERNEL_SCREENSHOT="$screenshots/deb-quernel.png" "$program"
  [ -s "$screenshots/deb-quernel.png" ] || fail "no screenshot"

  # One listing as a user makes it, on a virtual display: the folder handed
  # over as a file manager does (typing Chinese with xdotool depends on the X
  # keymap), Enter (输出), confirm the notice; the viewer is a stand-in
  # xdg-open that writes down what it was asked to open.
  mkdir -p "$work/bin" "$work/音乐"
  printf 'a' >"$work/音乐/a.txt"
  printf 'bb' >"$work/音乐/歌曲.mp3"
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/opened"\n' "$work" >"$work/bin/xdg-open"
  chmod +x "$work/bin/xdg-open"
  cat >"$work/drive.sh" <<DRIVE
set -eu
PATH="$work/bin:\$PATH" "$program" "$work/音乐" & program=\$!
window=\$(timeout 20 xdotool search --sync --onlyvisible --name '^Quernel\$' | head -1)
xdotool windowfocus --sync "\$window"
xdotool key --window "\$window" Return
for i in \$(seq 100); do [ -s "$work/root/usr/libexec/quernel/Path.txt" ] && break; sleep 0.1; done
sleep 1
xdotool key Return
for i in \$(seq 100); do [ -s "$work/opened" ] && break; sleep 0.1; done
cp "$work/root/usr/libexec/quernel/path.bat" "$work/written.bat"
xdotool key Escape
wait \$program
DRIVE
  LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 timeout 60 xvfb-run -a sh "$work/drive.sh" || fail "the run did not end well"
  folder="$work/root/usr/libexec/quernel"
  printf 'dir "%s\\*.*"    /o:n /B >"%s\\Path.txt"\r\nexit\r\n' "$work/音乐" "$folder" >"$work/expected.bat"
  cmp "$work/expected.bat" "$work/written.bat" || fail "path.bat: $(cat "$work/written.bat")"
  [ ! -e "$folder/path.bat" ] || fail "path.bat is left after the window closed"
  printf 'a.txt\r\n歌曲.mp3\r\n' | cmp - "$folder/Path.txt" || fail "the listing: $(cat "$folder/Path.txt")"
  [ "$(cat "$work/opened")" = "$folder/Path.txt" ] || fail "the viewer was asked for: $(cat "$work/opened")"
  ;;
*)
  echo "usage: $0 contents|lint|run DEB EXPECTED SCREENSHOTS" >&2
  exit 2
  ;;
esac
echo "ok: $what"
