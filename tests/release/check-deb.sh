#!/bin/sh
# check-deb.sh contents DEB EXPECTED_CONTENTS
# check-deb.sh installed RELEASE DEB SCREENSHOTS RELEASE_MD
# The Debian package as a user meets it.
#   contents   (here) what it holds, its Depends and Recommends, the desktop
#              entry and AppStream entry validated, and the file managers'
#              entries "用 Quernel 列出文件": their form, and their Exec lines
#              expanded as each file manager does for a folder holding a
#              space and Chinese characters, which must start quernel with
#              that folder as its one argument.
#   installed  in a fresh chroot of RELEASE (packaging/linux/chroot.sh):
#              `apt install ./DEB` pulls its Depends; quernel --version; a
#              photograph offscreen; one whole listing on Xvfb driven with
#              xdotool; the release's own lintian (no error, and each warning
#              explained in RELEASE_MD); `dpkg -r` leaves nothing behind.
set -eu
what=$1
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
# value FILE GROUP KEY: the key's value in that group of a key file.
value() {
  awk -v g="[$2]" -v k="$3" '/^\[/ { in_group = ($0 == g); next }
    in_group && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }' "$1"
}

# run_exec EXEC FIELD ARGUMENT: EXEC with FIELD replaced by ARGUMENT (already
# quoted as the file manager quotes it), split into words as the desktop does
# (shell quoting), run with the recording quernel first on PATH.
run_exec() {
  line=$(printf '%s' "$1" | sed "s|$2|$3|")
  case $line in *%*) fail "a field code is left in: $line" ;; esac
  rm -f "$work/args"
  eval "set -- $line"
  [ "$1" = quernel ] || fail "the entry starts $1, not quernel"
  PATH="$work/bin:$PATH" "$@"
  printf '1\n%s\n' "$folder" | cmp -s - "$work/args" || fail "quernel was given: $(cat "$work/args") for: $1"
}

case $what in
contents)
  deb=$2 expected=$3
  [ -f "$deb" ] || { echo "no $deb: run scripts/release.sh first"; exit 77; }
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # Type, mode, owner and path of every entry, links with their targets.
  dpkg-deb -c "$deb" | awk '{ path = $6; for (i = 7; i <= NF; i++) path = path " " $i; print $1, $2, path }' |
    LC_ALL=C sort >"$work/contents"
  diff -u "$expected" "$work/contents" || fail "the package holds other files than expected"
  dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks Qt: $(dpkg-deb -f "$deb" Depends)"
  dpkg-deb -f "$deb" Depends | grep -q 'libicu' || fail "Depends lacks ICU"
  [ "$(dpkg-deb -f "$deb" Recommends)" = "xdg-utils, fonts-wqy-microhei | fonts-noto-cjk" ] ||
    fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"

  dpkg-deb -x "$deb" "$work/root"
  share="$work/root/usr/share"
  desktop-file-validate "$share/applications/quernel.desktop" || fail "desktop-file-validate"
  appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml || fail "appstreamcli validate"
  # The menu entry opens a folder given to it, but is no handler of folders.
  ! grep -q '^MimeType=' "$share/applications/quernel.desktop" || fail "the menu entry claims MIME types"

  verb="用 Quernel 列出文件"
  folder="$work/音乐 我的"
  mkdir -p "$work/bin" "$folder"
  printf '#!/bin/sh\n{ echo $#; printf "%%s\\n" "$@"; } >"%s/args"\n' "$work" >"$work/bin/quernel"
  chmod +x "$work/bin/quernel"
  # Desktop entries (the menu, Dolphin's service menu, file-manager/actions):
  # %f is one argument; KIO and GLib quote it for the shell's word splitting.
  quoted="'$folder'"
  run_exec "$(value "$share/applications/quernel.desktop" "Desktop Entry" Exec)" %f "$quoted"

  # Dolphin (KF5 5.85 and later, KF6): a service menu on folders.
  kde="$share/kio/servicemenus/quernel.desktop"
  [ "$(value "$kde" "Desktop Entry" Type)" = Service ] || fail "$kde: Type"
  value "$kde" "Desktop Entry" MimeType | grep -qx 'inode/directory;' || fail "$kde: MimeType"
  action=$(value "$kde" "Desktop Entry" Actions | tr -d ';')
  [ "$(value "$kde" "Desktop Action $action" Name)" = "$verb" ] || fail "$kde: the action's Name"
  [ "$(value "$kde" "Desktop Action $action" Icon)" = quernel ] || fail "$kde: the action's Icon"
  run_exec "$(value "$kde" "Desktop Action $action" Exec)" %f "$quoted"

  # Nemo: %F is the selection's paths, each in the quotes Quote= names.
  nemo="$share/nemo/actions/quernel.nemo_action"
  [ "$(value "$nemo" "Nemo Action" Name)" = "$verb" ] || fail "$nemo: Name"
  [ "$(value "$nemo" "Nemo Action" Selection)" = s ] || fail "$nemo: Selection"
  [ "$(value "$nemo" "Nemo Action" Extensions)" = "dir;" ] || fail "$nemo: Extensions"
  [ "$(value "$nemo" "Nemo Action" Quote)" = double ] || fail "$nemo: Quote"
  run_exec "$(value "$nemo" "Nemo Action" Exec)" %F "\"$folder\""

  # Caja (caja-actions), PCManFM and PCManFM-Qt: a file-manager action.
  fma="$share/file-manager/actions/quernel.desktop"
  [ "$(value "$fma" "Desktop Entry" Type)" = Action ] || fail "$fma: Type"
  [ "$(value "$fma" "Desktop Entry" Name)" = "$verb" ] || fail "$fma: Name"
  profile=$(value "$fma" "Desktop Entry" Profiles | tr -d ';')
  value "$fma" "X-Action-Profile $profile" MimeTypes | grep -qx 'inode/directory;' || fail "$fma: MimeTypes"
  [ "$(value "$fma" "X-Action-Profile $profile" SelectionCount)" = "=1" ] || fail "$fma: SelectionCount"
  run_exec "$(value "$fma" "X-Action-Profile $profile" Exec)" %f "$quoted"
  ;;
installed)
  release=$2 deb=$3 screenshots=$4 release_md=$5
  [ -f "$deb" ] || { echo "no $deb: run scripts/release.sh first"; exit 77; }
  [ "$(id -u)" = 0 ] || { echo "needs root, for the chroot"; exit 77; }
  mkdir -p "$screenshots"
  results=$(mktemp -d)
  trap 'rm -rf "$results"' EXIT
  "$here/../../packaging/linux/chroot.sh" run "$release" test \
    -b "$(dirname "$deb"):/dist" -b "$here:/check" -b "$results:/results" -- \
    "sh /check/check-deb.sh inside /dist/$(basename "$deb") /results" || fail "in a fresh $release"
  cp "$results"/*.png "$screenshots/deb-quernel-$release.png"
  # Each warning lintian gives is explained in docs/release.md.
  for tag in $(sed -n 's/^W: [^ ]*: \([^ ]*\).*/\1/p' "$results/lintian" | sort -u); do
    grep -q "$tag" "$release_md" || fail "lintian's warning $tag is not explained in docs/release.md"
  done
  ;;
inside)
  # In the chroot, as root: HOME is /root.
  deb=$2 results=$3
  work=$(mktemp -d)
  export DEBIAN_FRONTEND=noninteractive
  cp "$deb" "$work/"
  deb="$work/$(basename "$deb")"
  apt install -y -q "$deb" >"$work/apt.log" 2>&1 ||
    { apt-get -q update >/dev/null && apt install -y -q "$deb" >"$work/apt.log" 2>&1; } ||
    { cat "$work/apt.log"; fail "apt install"; }
  quernel --version | grep -q "$(dpkg-query -W -f='${Version}' quernel | sed 's/-.*//')" ||
    fail "quernel --version: $(quernel --version)"
  QT_QPA_PLATFORM=offscreen QUERNEL_SCREENSHOT="$results/quernel.png" quernel
  [ -s "$results/quernel.png" ] || fail "no screenshot"

  # One listing as a user makes it, the folder given on the command line as
  # a file manager does; Enter (输出), confirm the notice. The viewer is a
  # stand-in xdg-open that writes down what it was asked to open.
  home=/root/.cache/quernel
  mkdir -p "$work/bin" "$work/音乐"
  printf 'a' >"$work/音乐/a.txt"
  printf 'bb' >"$work/音乐/歌曲.mp3"
  printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/opened"\n' "$work" >"$work/bin/xdg-open"
  chmod +x "$work/bin/xdg-open"
  cat >"$work/drive.sh" <<DRIVE
set -eu
PATH="$work/bin:\$PATH" quernel "$work/音乐" & program=\$!
window=\$(timeout 20 xdotool search --sync --onlyvisible --name '^Quernel\$' | head -1)
xdotool windowfocus --sync "\$window"
xdotool key --window "\$window" Return
for i in \$(seq 100); do [ -s "$home/path.txt" ] && break; sleep 0.1; done
sleep 1
xdotool key Return
for i in \$(seq 100); do [ -s "$work/opened" ] && break; sleep 0.1; done
cp "$home/path.bat" "$work/written.bat"
xdotool key Escape
wait \$program
DRIVE
  LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 timeout 60 xvfb-run -a sh "$work/drive.sh" || fail "the run did not end well"
  printf 'dir "%s\\*.*"    /o:n /B >"%s\\Path.txt"\r\nexit\r\n' "$work/音乐" "$home" >"$work/expected.bat"
  cmp "$work/expected.bat" "$work/written.bat" || fail "path.bat: $(cat "$work/written.bat")"
  [ ! -e "$home/path.bat" ] || fail "path.bat is left after the window closed"
  printf 'a.txt\r\n歌曲.mp3\r\n' | cmp - "$home/path.txt" || fail "the listing: $(cat "$home/path.txt")"
  [ "$(cat "$work/opened")" = "$home/path.txt" ] || fail "the viewer was asked for: $(cat "$work/opened")"
  [ -z "$(ls -A /usr/libexec/quernel | grep -vx 'quernel\|quernel-cmd\|help.htm')" ] ||
    fail "the program wrote into its folder: $(ls -A /usr/libexec/quernel)"

  lintian --pedantic "$deb" >"$results/lintian" 2>&1 || true
  cat "$results/lintian"
  ! grep -q '^E:' "$results/lintian" || fail "lintian reports errors"

  # Removed, the package leaves nothing: each of its paths is gone, unless
  # it is a folder another package holds.
  dpkg -L quernel >"$work/paths"
  dpkg -r quernel >/dev/null 2>&1 || fail "dpkg -r"
  while read -r path; do
    [ "$path" = /. ] && continue
    [ -e "$path" ] || [ -L "$path" ] || continue
    [ -d "$path" ] && [ ! -L "$path" ] && dpkg -S "$path" >/dev/null 2>&1 && continue
    fail "left after dpkg -r: $path"
  done <"$work/paths"
  [ ! -e /usr/libexec/quernel ] || fail "/usr/libexec/quernel is left"
  ;;
*)
  echo "usage: $0 contents DEB EXPECTED | installed RELEASE DEB SCREENSHOTS RELEASE_MD" >&2
  exit 2
  ;;
esac
echo "ok: $what"
