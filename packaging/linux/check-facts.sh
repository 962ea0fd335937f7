#!/bin/sh
# check-facts.sh RELEASE_ENV
# debian/ is written by hand, the product's facts once at the top of
# CMakeLists.txt (release.env holds them after configuring): fails, naming
# the file, when the two disagree on the version, the maintainer or the
# copyright line.
set -eu
. "$1"
debian=$(cd "$(dirname "$0")/../../debian" && pwd)
fail() { echo "FAIL: debian/$1 disagrees with CMakeLists.txt: $2" >&2; exit 1; }
first=$(head -1 "$debian/changelog")
[ "$first" = "$QUERNEL_PACKAGE ($QUERNEL_VERSION-1) unstable; urgency=medium" ] ||
  fail changelog "'$first', expected version $QUERNEL_VERSION-1"
grep -q "^ -- $QUERNEL_PUBLISHER <" "$debian/changelog" || fail changelog "the maintainer is not $QUERNEL_PUBLISHER"
grep -qx "Source: $QUERNEL_PACKAGE" "$debian/control" || fail control "Source is not $QUERNEL_PACKAGE"
grep -qx "Package: $QUERNEL_PACKAGE" "$debian/control" || fail control "Package is not $QUERNEL_PACKAGE"
grep -q "^Maintainer: $QUERNEL_PUBLISHER <" "$debian/control" || fail control "Maintainer is not $QUERNEL_PUBLISHER"
grep -qx "Upstream-Name: $QUERNEL_PRODUCT" "$debian/copyright" || fail copyright "Upstream-Name is not $QUERNEL_PRODUCT"
grep -qx "Copyright: $QUERNEL_COPYRIGHT" "$debian/copyright" || fail copyright "Copyright is not $QUERNEL_COPYRIGHT"
echo "ok: debian/ agrees with CMakeLists.txt ($QUERNEL_PACKAGE $QUERNEL_VERSION)"
