#!/bin/sh
# scripts/release.sh [DIST]
# Builds Quernel's release into DIST (by default dist/), in release mode with
# warnings fatal:
#   Quernel-<version>-win64.zip     the portable edition (绿色版)
#   Quernel-<version>-x64.msi       the Windows installer
#   quernel_<version>-1~debN_amd64.deb
#                                   the Debian package for each release in
#                                   packaging/linux/releases.txt (12, 13),
#                                   built from debian/ in a clean chroot of
#                                   that release (packaging/linux/build-deb.sh)
#   SHA256SUMS                      over them all
# The version and the product's other facts come from the top CMakeLists.txt.
# Timestamps come from the last commit (SOURCE_DATE_EPOCH), so the ZIP and
# the .debs are the same bytes whenever one commit is built.
# QUERNEL_RELEASE_BUILD sets the build folder (default build/release); the
# chroots are kept in build/chroots (QUERNEL_CHROOTS), made once.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dist=$(mkdir -p "${1:-dist}" && cd "${1:-dist}" && pwd)
build=${QUERNEL_RELEASE_BUILD:-$root/build/release}
mkdir -p "$build"
build=$(cd "$build" && pwd)

scripts/install-deps.sh release

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || {
    echo "release.sh: not a git clone; set SOURCE_DATE_EPOCH" >&2
    exit 1
  }
fi
# rcc stamps resources with their files' times unless told otherwise.
export SOURCE_DATE_EPOCH QT_RCC_SOURCE_DATE_OVERRIDE=$SOURCE_DATE_EPOCH
export TZ=UTC LC_ALL=C.UTF-8
umask 022

# The chroots the .debs are built in: made once (debootstrap), side by side
# while the Windows program builds.
releases=$(sed -n 's/^\([a-z][a-z]*\) [0-9][0-9]*$/\1/p' packaging/linux/releases.txt)
chroots=${QUERNEL_CHROOTS:-$root/build/chroots}
mkdir -p "$chroots"
for release in $releases; do
  packaging/linux/chroot.sh base "$release" build >"$chroots/$release-build.out" 2>&1 </dev/null &
done

echo "== Windows: Quernel.exe"
cmake --preset release-windows -B "$build/windows" >/dev/null
cmake --build "$build/windows" --target Quernel

. "$build/windows/release.env"
work="$build/packages"
rm -rf "$work"
mkdir -p "$work"

zip="$dist/$QUERNEL_PRODUCT-$QUERNEL_VERSION-win64.zip"
msi="$dist/$QUERNEL_PRODUCT-$QUERNEL_VERSION-x64.msi"
rm -f "$zip" "$msi" "$dist/${QUERNEL_PACKAGE}_$QUERNEL_VERSION"-1*_amd64.deb "$dist/SHA256SUMS"

echo "== $(basename "$zip")"
packaging/windows/make-zip.sh "$build/windows" "$work/zip" "$zip"
echo "== $(basename "$msi")"
packaging/windows/make-msi.sh "$build/windows" "$QUERNEL_VERSION" "$work/msi" "$msi"
wait  # for the chroots (a failure shows again, with its reason, below)
debs=""
while read -r release number; do
  case $release in '#'* | '') continue ;; esac
  echo "== ${QUERNEL_PACKAGE}_$QUERNEL_VERSION-1~deb${number}_amd64.deb (Debian $number, $release)"
  packaging/linux/build-deb.sh "$release" "$number" "$build/windows/release.env" "$work/deb-$release" "$dist" </dev/null
  debs="$debs ${QUERNEL_PACKAGE}_$QUERNEL_VERSION-1~deb${number}_amd64.deb"
done <packaging/linux/releases.txt

# shellcheck disable=SC2086 # the names hold no spaces
(cd "$dist" && sha256sum "$(basename "$zip")" "$(basename "$msi")" $debs >SHA256SUMS)
echo "== $dist"
cat "$dist/SHA256SUMS"
