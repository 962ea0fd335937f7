#!/bin/sh
# Installs what building and running (run), packaging (release) or testing
# (test) Quernel needs on Debian or Ubuntu. Does nothing when everything is
# there; when it is not and we are not root, prints the apt-get line to run
# and stops.
set -eu

RUN_PACKAGES="cmake ninja-build g++ qt6-base-dev qt6-translations-l10n libicu-dev
  fonts-wqy-microhei xdg-utils xvfb xauth locales"
RELEASE_PACKAGES="cmake ninja-build g++ qt6-base-dev libicu-dev g++-mingw-w64-x86-64
  wixl msitools zip dpkg-dev git debootstrap"
TEST_PACKAGES="$RUN_PACKAGES $RELEASE_PACKAGES googletest libgtest-dev libgmock-dev
  wine wine64 clang clang-format libclang-rt-14-dev lintian desktop-file-utils appstream unzip xdotool"

case "${1:-}" in
  run) packages=$RUN_PACKAGES ;;
  release) packages=$RELEASE_PACKAGES ;;
  test) packages=$TEST_PACKAGES ;;
  *) echo "usage: $0 run|release|test" >&2; exit 2 ;;
esac

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

if [ -n "$missing" ]; then
  apt_line="apt-get -o DPkg::Lock::Timeout=300 install -y --no-install-recommends$missing"
  if [ "$(id -u)" != 0 ]; then
    echo "Quernel needs these packages:$missing" >&2
    echo "Run as root:  apt-get update && $apt_line" >&2
    exit 1
  fi
  echo "Installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=300 update -qq
  $apt_line -qq
fi

# Chinese locales: the Windows program's code page 936 under Wine, and GBK
# batch files for the Linux stand-in of the command interpreter. An English
# one too: Wine's ANSI and OEM code pages differ there (1252 and 437).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$' || ! locale -a 2>/dev/null | grep -qi '^zh_CN.gbk$' ||
  ! locale -a 2>/dev/null | grep -qi '^en_US.utf8$'; then
  if [ "$(id -u)" = 0 ]; then
    sed -i -E 's/^# *(zh_CN.UTF-8 UTF-8)/\1/; s/^# *(zh_CN.GBK GBK)/\1/; s/^# *(en_US.UTF-8 UTF-8)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    grep -q '^zh_CN.GBK GBK' /etc/locale.gen || echo 'zh_CN.GBK GBK' >> /etc/locale.gen
    grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "note: the zh_CN.UTF-8, zh_CN.GBK or en_US.UTF-8 locale is missing; tests that need them are skipped" >&2
  fi
fi
