#!/bin/bash
# chroot.sh base RELEASE KIND
# chroot.sh run RELEASE KIND [-b HOST_DIR:DIR]... -- COMMAND...
# Clean Debian chroots for building and checking the .deb, made with
# debootstrap from the mirror of this machine's apt sources (the host's
# entries for its own release, renamed, when it has none for RELEASE).
#   base  makes build/chroots/RELEASE-KIND once (QUERNEL_CHROOTS moves
#         build/chroots): minbase, then for KIND "build" the Build-Depends of
#         debian/control (checked again on each use: what was added since is
#         installed into the base), for KIND "test" Xvfb, xauth, xdotool,
#         lintian and the zh_CN.UTF-8 locale.
#   run   runs COMMAND (bash -c) as root in a throwaway copy of that base: an
#         overlay, gone when COMMAND ends, in its own mount and process
#         namespaces, with /proc, /dev, a fresh /tmp, and each HOST_DIR bound
#         at DIR. Downloaded packages are kept in build/chroots/archives-RELEASE.
# Must run as root.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
chroots=${QUERNEL_CHROOTS:-$root/build/chroots}
what=$1 release=$2 kind=$3
shift 3
base=$chroots/$release-$kind
archives=$chroots/archives-$release
say() { echo "chroot.sh: $*" >&2; }
[ "$(id -u)" = 0 ] || { say "must run as root"; exit 1; }
mkdir -p "$chroots" "$archives"

# "URI SUITE COMPONENTS" for each Debian entry of the host's apt sources
# (one-line and deb822 files), for RELEASE and its -updates and -security.
sources() {
  local host
  host=$(. /etc/os-release && echo "$VERSION_CODENAME")
  {
    sed 's/#.*//' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk '$1 == "deb" { i = 2; if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
                         s = $i " " $(i + 1); for (j = i + 2; j <= NF; j++) s = s " " $j; print s }'
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '
      function flush(  a, b, c, T, U, S) {
        if (types != "" && uris != "" && suites != "") {
          split(types, T, " "); split(uris, U, " "); split(suites, S, " ")
          for (a in T) if (T[a] == "deb") for (b in U) for (c in S) print U[b], S[c], comps
        }
        types = uris = suites = comps = ""
      }
      /^#/ { next } /^[ \t]*$/ { flush(); next } /^[ \t]/ { next }
      { k = tolower(substr($0, 1, index($0, ":") - 1)); v = substr($0, index($0, ":") + 1)
        gsub(/^[ \t]+|[ \t]+$/, "", v)
        if (k == "types") types = v; else if (k == "uris") uris = v
        else if (k == "suites") suites = v; else if (k == "components") comps = v }
      END { flush() }'
  } | awk -v h="$host" -v r="$release" '$2 ~ ("^(" h "|" r ")(-updates|-security)?$")' |
    sed "s/ $host/ $release/" | sort -u
}

# in_root DIR COMMAND...: COMMAND as root inside DIR, with /proc and /dev.
in_root() {
  local dir=$1
  shift
  unshare --mount --pid --fork --kill-child --mount-proc="$dir/proc" bash -c '
    dir=$1; shift
    mount --bind /dev "$dir/dev"; mount --bind /dev/pts "$dir/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$dir/dev/shm"; mount -t tmpfs -o mode=1777 tmpfs "$dir/tmp"
    mount --bind "$0" "$dir/var/cache/apt/archives"
    exec chroot "$dir" /usr/bin/env -i HOME=/root USER=root LOGNAME=root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
      LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"' "$archives" "$dir" "$@"
}

build_depends() {
  # The Build-Depends field of debian/control, as one line.
  awk '/^Build-Depends:/ { on = 1; sub(/^Build-Depends:/, ""); print; next }
       on && /^[ \t]/ { print; next } { on = 0 }' "$root/debian/control" | tr -s ' \n\t' ' ' | sed 's/^ //; s/ $//'
}

make_base() {
  exec 9>"$base.lock"
  flock -x 9
  local wanted=""
  [ "$kind" = build ] && wanted=$(build_depends)
  if [ -f "$base/.quernel-base" ] && [ "$(sed -n 2p "$base/.quernel-base")" = "$wanted" ]; then
    return 0
  fi
  local src mirror t0=$SECONDS
  src=$(sources)
  mirror=$(awk -v r="$release" '$2 == r { print $1; exit }' <<<"$src")
  [ -n "$mirror" ] || { say "no Debian entry in this machine's apt sources"; exit 1; }
  if [ ! -f "$base/.quernel-base" ]; then
    command -v debootstrap >/dev/null || { say "debootstrap is missing (scripts/install-deps.sh release)"; exit 1; }
    say "making $base with debootstrap (once)"
    rm -rf "$base.new"
    debootstrap --variant=minbase --cache-dir="$archives" "$release" "$base.new" "$mirror" \
      >"$base.log" 2>&1 || { tail -20 "$base.log"; say "debootstrap failed: $base.log"; exit 1; }
    rm -f "$base.new/etc/apt/sources.list"
    while read -r uri suite comps; do
      printf 'Types: deb\nURIs: %s\nSuites: %s\nComponents: %s\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n' \
        "$uri" "$suite" "${comps:-main}"
    done <<<"$src" >"$base.new/etc/apt/sources.list.d/debian.sources"
    # Keep what `apt install` downloads (in the shared archives folder), and no
    # daemons started by package scripts.
    echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' >"$base.new/etc/apt/apt.conf.d/90quernel"
    printf '#!/bin/sh\nexit 101\n' >"$base.new/usr/sbin/policy-rc.d"
    chmod 755 "$base.new/usr/sbin/policy-rc.d"
    in_root "$base.new" apt-get -q update >>"$base.log" 2>&1
    case $kind in
    build)
      in_root "$base.new" apt-get -q install -y --no-install-recommends build-essential fakeroot >>"$base.log" 2>&1 ;;
    test)
      in_root "$base.new" apt-get -q install -y --no-install-recommends xvfb xauth xdotool lintian locales \
        >>"$base.log" 2>&1
      sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' "$base.new/etc/locale.gen"
      in_root "$base.new" locale-gen >>"$base.log" 2>&1 ;;
    esac
    rm -rf "$base"
    mv "$base.new" "$base"
  fi
  if [ -n "$wanted" ]; then
    # apt-get satisfy takes the field as it is written in debian/control.
    in_root "$base" sh -c 'apt-get -q satisfy -y --no-install-recommends "$1" || { apt-get -q update && apt-get -q satisfy -y --no-install-recommends "$1"; }' \
      sh "$wanted" >>"$base.log" 2>&1 || { tail -20 "$base.log"; say "installing the Build-Depends failed"; exit 1; }
  fi
  printf '%s %s, %s\n%s\n' "$release" "$kind" "$(date -u +%FT%TZ)" "$wanted" >"$base/.quernel-base"
  say "$base ready in $((SECONDS - t0)) s, $(du -sh "$base" | cut -f1)"
}

case $what in
base) make_base ;;
run)
  make_base
  binds=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    [ "$1" = -b ] || { say "unknown option $1"; exit 2; }
    binds+=("$2")
    shift 2
  done
  shift
  exec 9>"$base.lock"
  flock -s 9
  run=$(mktemp -d "$chroots/run.XXXXXX")
  trap 'rm -rf "$run"' EXIT
  mkdir -p "$run/upper" "$run/work" "$run/root"
  status=0
  unshare --mount bash -c '
    set -e
    base=$1 run=$2; shift 2
    # Where build/ itself is on an overlay (a chroot made that way), the
    # new layer cannot be: it goes to a tmpfs of its own instead.
    mount -t overlay overlay -o "lowerdir=$base,upperdir=$run/upper,workdir=$run/work" "$run/root" 2>/dev/null || {
      mount -t tmpfs -o size=75% quernel-layer "$run/upper"
      mkdir "$run/upper/upper" "$run/upper/work"
      mount -t overlay overlay -o "lowerdir=$base,upperdir=$run/upper/upper,workdir=$run/upper/work" "$run/root"
    }
    while [ "$1" != -- ]; do
      mkdir -p "$run/root${1#*:}"; mount --bind "${1%%:*}" "$run/root${1#*:}"; shift
    done
    shift
    exec "$@"' bash "$base" "$run" "${binds[@]}" -- "$0" in-root "$release" "$kind" "$run/root" "$@" || status=$?
  exit $status
  ;;
in-root)
  dir=$1
  shift
  in_root "$dir" bash -c "$*"
  ;;
*)
  echo "usage: $0 base|run RELEASE KIND ..." >&2
  exit 2
  ;;
esac
