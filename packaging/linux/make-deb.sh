#!/bin/sh
# make-deb.sh LINUX_BUILD WORK OUT.deb
# The Debian package, from `cmake --install` of the release build: the
# program, quernel-cmd, help.htm, the desktop entry, the icons, the AppStream
# entry and the manual pages; Depends from dpkg-shlibdeps. Times from
# SOURCE_DATE_EPOCH, fixed modes and owners: the same bytes for one commit.
set -eu
build=$1 work=$2 out=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$build/release.env"
package=$QUERNEL_PACKAGE
pkgroot="$work/debian/$package"  # where dpkg-shlibdeps expects it
doc="$pkgroot/usr/share/doc/$package"

rm -rf "$work"
mkdir -p "$work"
DESTDIR="$pkgroot" cmake --install "$build" --strip >/dev/null
# As dh_strip leaves them: without the compiler's notes.
strip --remove-section=.comment --remove-section=.note \
  "$pkgroot/usr/libexec/$package/$package" "$pkgroot/usr/bin/$package-cmd"

gzip -9n "$pkgroot"/usr/share/man/man1/*.1
mkdir -p "$doc"
cp "$build/packaging/debian/copyright" "$doc/copyright"
{
  echo "$package ($QUERNEL_VERSION-1) unstable; urgency=medium"
  echo
  echo "  * Release $QUERNEL_VERSION."
  echo
  echo " -- $(sed -n 's/^Maintainer: //p' "$build/packaging/debian/control")  $(date -u -R -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9n >"$doc/changelog.Debian.gz"

# dpkg-shlibdeps reads the package's name from a debian/control.
mkdir -p "$work/debian"
printf 'Source: %s\n\nPackage: %s\nArchitecture: any\n' "$package" "$package" >"$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O -e"$pkgroot/usr/libexec/$package/$package" -e"$pkgroot/usr/bin/$package-cmd" |
  sed -n 's/^shlibs:Depends=//p')
installed_size=$(du -k -s --apparent-size "$pkgroot" | cut -f1)

find "$pkgroot" -type d -exec chmod 755 {} +
find "$pkgroot" -type f -exec chmod 644 {} +
chmod 755 "$pkgroot/usr/libexec/$package/$package" "$pkgroot/usr/bin/$package-cmd"
mkdir -p "$pkgroot/DEBIAN"
sed -e "s/INSTALLED_SIZE/$installed_size/" -e "s/SHLIBS_DEPENDS/$depends/" \
  "$build/packaging/debian/control" >"$pkgroot/DEBIAN/control"
(cd "$pkgroot" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$pkgroot/DEBIAN/md5sums"
chmod 644 "$pkgroot/DEBIAN/control" "$pkgroot/DEBIAN/md5sums"
find "$pkgroot" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
rm -f "$out"
dpkg-deb --root-owner-group -Zxz --build "$pkgroot" "$out" >/dev/null
