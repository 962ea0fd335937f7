#!/bin/sh
# build-deb.sh RELEASE NUMBER RELEASE_ENV WORK OUT_DIR
# Builds the Debian package for Debian NUMBER (code name RELEASE) with
# dpkg-buildpackage -b and debian/, inside a throwaway copy of a clean chroot
# of that release (packaging/linux/chroot.sh, cached under build/chroots), and
# puts quernel_<version>-1~debNUMBER_amd64.deb into OUT_DIR. The source is
# the repository's files as git knows them (tracked and not ignored). The
# release's own entry is added on top of debian/changelog: the version sorts
# the newer release's package higher. Times from SOURCE_DATE_EPOCH.
set -eu
release=$1 number=$2 facts=$3 work=$4 out=$5
root=$(cd "$(dirname "$0")/../.." && pwd)
: "${SOURCE_DATE_EPOCH:?set SOURCE_DATE_EPOCH (scripts/release.sh does)}"
. "$facts"
"$root/packaging/linux/check-facts.sh" "$facts"
version="$QUERNEL_VERSION-1~deb$number"
deb="${QUERNEL_PACKAGE}_${version}_amd64.deb"

rm -rf "$work"
mkdir -p "$work/src"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 sh -c \
  'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh | tar --null -T - -cf -) | tar -xf - -C "$work/src"
{
  printf '%s (%s) %s; urgency=medium\n\n' "$QUERNEL_PACKAGE" "$version" "$release"
  printf '  * Built for Debian %s (%s).\n\n' "$number" "$release"
  printf ' -- %s  %s\n\n' "$(sed -n 's/^Maintainer: //p' "$root/debian/control")" \
    "$(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")"
  cat "$root/debian/changelog"
} >"$work/src/debian/changelog"

# One folder name inside every chroot, so nothing depends on where WORK is.
"$root/packaging/linux/chroot.sh" run "$release" build -b "$work:/build" -- "
  set -e
  mv /build/src /build/$QUERNEL_PACKAGE
  cd /build/$QUERNEL_PACKAGE
  SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH QT_RCC_SOURCE_DATE_OVERRIDE=$SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8 \
    DEB_BUILD_OPTIONS='parallel=$(nproc)' dpkg-buildpackage -b -us -uc >/build/build.log 2>&1 ||
    { tail -40 /build/build.log; exit 1; }
"
mkdir -p "$out"
cp "$work/$deb" "$out/$deb"
echo "$out/$deb"
