#!/bin/sh
# run_as_unprivileged.sh PROGRAM [ARGUMENTS...]
# Runs PROGRAM as a user without privileges, which root is not: root passes
# every permission check and would hide the faults PROGRAM looks for. As
# root, the user quernel-tester is created when missing and a 64 KB tmpfs is
# mounted for it (QUERNEL_TINY_DISK); as any other user PROGRAM runs as it is.
# Exits 77 (skipped), saying why, when no such user can run PROGRAM.
set -eu
program=$1
shift
skip=77
user=quernel-tester

if [ "$(id -u)" != 0 ]; then
  echo "run_as_unprivileged.sh: running as $(id -un), who has no privileges"
  exec "$program" "$@"
fi

if ! id "$user" >/dev/null 2>&1 &&
   ! useradd --system --user-group --no-create-home --shell /usr/sbin/nologin "$user" 2>/dev/null; then
  echo "run_as_unprivileged.sh: SKIPPED: the user $user could not be created (useradd failed)"
  exit $skip
fi
as_user() {
  setpriv --reuid="$user" --regid="$user" --clear-groups "$@"
}
if ! as_user test -x "$program"; then
  echo "run_as_unprivileged.sh: SKIPPED: $user cannot run $program (a folder on the way is closed to others)"
  exit $skip
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quernel-faults.XXXXXX")
tiny="$work/tiny"
cleanup() {
  umount "$tiny" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
mkdir "$tiny"
chown -R "$user:$user" "$work"
if mount -t tmpfs -o size=64k,mode=0777 quernel-faults "$tiny" 2>/dev/null; then
  export QUERNEL_TINY_DISK="$tiny"
else
  echo "run_as_unprivileged.sh: no 64 KB tmpfs could be mounted: the full-disk case is skipped"
fi

echo "run_as_unprivileged.sh: running as $user"
status=0
as_user env HOME="$work" TMPDIR="$work" XDG_RUNTIME_DIR="$work" "$program" "$@" || status=$?
exit $status
