# What the release checks share; each sources it first.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }

# Skips the check (CTest's code 77) when the release was not built.
need_release_file() {
  [ -f "$1" ] || { echo "no $1: run scripts/release.sh first"; exit 77; }
}

# One whole listing by a packaged program in FOLDER (a Windows path), run by
# the end-to-end driver under Wine; its log goes to LOG.
run_packaged_session() {
  driver=$1 folder=$2 log=$3
  QUERNEL_PACKAGED_PROGRAM="$folder" \
    "$root/scripts/wine-run.sh" "$driver" --gtest_filter='QuernelSession.APackagedProgramMakesAWholeListing' \
    >"$log" 2>&1 || { cat "$log"; fail "the packaged program's run in $folder"; }
  grep -q '\[  PASSED  \] 1 test' "$log" || { cat "$log"; fail "the run in $folder did not pass"; }
  grep "OK \]" "$log"  # the run, named in the log
}
