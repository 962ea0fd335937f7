#!/bin/sh
# unprivileged.sh COMMAND...
# Runs COMMAND as a user whom file modes bind. Root passes every mode, so as
# root it runs COMMAND as "quernel-test", created on first use (useradd).
# Exits 77 with the reason on stderr when that is not possible.
set -u
if [ "$(id -u)" != 0 ]; then
  exec "$@"
fi
user=quernel-test
if ! id "$user" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "$user" 2>/dev/null ||
    id "$user" >/dev/null 2>&1 || { echo "unprivileged.sh: useradd $user failed" >&2; exit 77; }
fi
command -v setpriv >/dev/null || { echo "unprivileged.sh: setpriv is missing" >&2; exit 77; }
exec setpriv --reuid="$user" --regid="$user" --clear-groups --inh-caps=-all -- "$@"
