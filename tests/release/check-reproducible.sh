#!/bin/sh
# check-reproducible.sh DIST AGAIN
# Builds the release a second time, in another folder (AGAIN), and compares:
# the ZIP and the .debs must be the same bytes as those in DIST. The MSI is
# compared and reported only: wixl gives every package new codes and times.
. "$(dirname "$0")/common.sh"
dist=$1 again=$2
need_release_file "$dist/SHA256SUMS"
rm -rf "$again"
QUERNEL_RELEASE_BUILD="$again/build" "$root/scripts/release.sh" "$again/dist" >"$again.log" 2>&1 ||
  { cat "$again.log"; fail "the second release build"; }
status=0
while read -r sum name; do
  second=$(cd "$again/dist" && sha256sum "$name" | cut -d' ' -f1)
  case $name in
  *.msi)
    [ "$sum" = "$second" ] && echo "same:    $name" || echo "differs: $name (expected: wixl stamps each build)"
    ;;
  *)
    if [ "$sum" = "$second" ]; then echo "same:    $name"; else
      echo "FAIL: $name differs between two builds of one commit" >&2
      status=1
    fi
    ;;
  esac
done <"$dist/SHA256SUMS"
[ $status = 0 ] && rm -rf "$again" "$again.log"
exit $status
