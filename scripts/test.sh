#!/bin/sh
# Builds the release packages (scripts/release.sh) and Quernel for Linux and
# for Windows, and runs every test suite: the core and the contract on the
# fake platform, the POSIX services, the Qt back-end and window (offscreen),
# quernel-cmd, the Windows program under Wine, and the packages as users meet
# them (the .deb unpacked and linted, the ZIP and the MSI under Wine, and a
# second release build that must give the same ZIP and .deb); then the core,
# POSIX and quernel-cmd suites again under AddressSanitizer and UBSan, and
# each fuzz target for a fixed number of runs from a fixed seed. First of
# all, every C++ file must be as clang-format (the repository's
# .clang-format) writes it.
set -eu
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

log_dir=build/test-logs
mkdir -p "$log_dir"

echo "== Format: clang-format --dry-run --Werror"
format_failed=0
for file in $(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'fuzz/*.cpp' 'fuzz/*.h' \
    'bench/*.cpp' 'bench/*.h' 'resources/*.cpp' 'resources/*.h'); do
  clang-format --dry-run --Werror "$file" || format_failed=$((format_failed + 1))
done
echo "$format_failed file(s) not formatted"

# build_and_test NAME PRESET [WRAPPER]: configures and builds PRESET with
# warnings fatal, then runs its tests (inside WRAPPER, such as with-wine.sh),
# keeping the log as build/test-logs/NAME.log. Fails when the build or a test
# failed; a failed build counts as one failed test in the closing line.
# (Called with ||, where set -e does not reach: each step checks itself.)
broken_builds=0
build_and_test() {
  name=$1 preset=$2
  shift 2
  echo "== $name: build ($preset)"
  : >"$log_dir/$name.log"
  if ! cmake --preset "$preset" -DQUERNEL_WERROR=ON || ! cmake --build --preset "$preset"; then
    echo "== $name: the build failed"
    broken_builds=$((broken_builds + 1))
    return 1
  fi
  echo "== $name: tests"
  status=0
  "$@" ctest --preset "$preset" 2>&1 | tee "$log_dir/$name.log" || status=$?
  # tee hides ctest's status: read it back from the summary.
  grep -q "tests passed, 0 tests failed" "$log_dir/$name.log" || status=1
  return $status
}

# The chroots the installed .debs are checked in (made once, while the
# release builds; see docs/release.md).
if [ "$(id -u)" = 0 ]; then
  mkdir -p build/chroots
  for release in $(sed -n 's/^\([a-z][a-z]*\) [0-9][0-9]*$/\1/p' packaging/linux/releases.txt); do
    packaging/linux/chroot.sh base "$release" test >"build/chroots/$release-test.out" 2>&1 </dev/null &
  done
fi

echo "== Release packages"
scripts/release.sh dist

wait  # for the chroots (a failure shows again, with its reason, in the release checks)
failed_runs=0
build_and_test linux linux || failed_runs=$((failed_runs + 1))
build_and_test sanitize sanitize || failed_runs=$((failed_runs + 1))  # ASan and UBSan: core, posix, cmd
build_and_test fuzz fuzz || failed_runs=$((failed_runs + 1))          # libFuzzer: fixed runs from seed 1
build_and_test windows windows-cross scripts/with-wine.sh || failed_runs=$((failed_runs + 1))

# One line for all runs: "N passed, N failed"; the format check counts as one.
cat "$log_dir/linux.log" "$log_dir/sanitize.log" "$log_dir/fuzz.log" "$log_dir/windows.log" |
  awk -v format_failed="$format_failed" -v broken_builds="$broken_builds" '
  BEGIN { total = 1 + broken_builds; failed = (format_failed > 0) + broken_builds }
  /tests passed, .* tests failed out of/ {
    for (i = 1; i <= NF; i++) if ($i == "failed") failed += $(i - 2)
    total += $NF
  }
  END { printf "%d passed, %d failed\n", total - failed, failed }'

[ "$format_failed" = 0 ] && [ "$failed_runs" = 0 ]
