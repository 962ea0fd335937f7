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

run_suites() {  # name, then the ctest command line
  name=$1; shift
  status=0
  "$@" 2>&1 | tee "$log_dir/$name.log" || status=$?
  # tee hides ctest's status: read it back from the summary.
  grep -q "tests passed, 0 tests failed" "$log_dir/$name.log" || status=1
  return $status
}

echo "== Release packages"
scripts/release.sh dist

echo "== Linux: build"
cmake --preset linux -DQUERNEL_WERROR=ON
cmake --build --preset linux
echo "== Linux: tests"
linux_status=0
run_suites linux ctest --preset linux || linux_status=$?

echo "== Sanitizers (ASan, UBSan): build"
cmake --preset sanitize -DQUERNEL_WERROR=ON
cmake --build --preset sanitize
echo "== Sanitizers: core, posix and cmd tests"
sanitize_status=0
run_suites sanitize ctest --preset sanitize || sanitize_status=$?

echo "== Fuzzing (clang, libFuzzer): build"
cmake --preset fuzz -DQUERNEL_WERROR=ON
cmake --build --preset fuzz
echo "== Fuzzing: fixed runs from seed 1"
fuzz_status=0
run_suites fuzz ctest --preset fuzz || fuzz_status=$?

echo "== Windows: cross build"
cmake --preset windows-cross -DQUERNEL_WERROR=ON
cmake --build --preset windows-cross
echo "== Windows: tests under Wine"
windows_status=0
run_suites windows scripts/with-wine.sh ctest --preset windows-cross || windows_status=$?

# One line for all runs: "N passed, N failed"; the format check counts as one.
cat "$log_dir/linux.log" "$log_dir/sanitize.log" "$log_dir/fuzz.log" "$log_dir/windows.log" |
  awk -v format_failed="$format_failed" '
  BEGIN { total = 1; failed = format_failed > 0 }
  /tests passed, .* tests failed out of/ {
    for (i = 1; i <= NF; i++) if ($i == "failed") failed += $(i - 2)
    total += $NF
  }
  END { printf "%d passed, %d failed\n", total - failed, failed }'

[ "$format_failed" = 0 ] && [ "$linux_status" = 0 ] && [ "$sanitize_status" = 0 ] && [ "$fuzz_status" = 0 ] && [ "$windows_status" = 0 ]
