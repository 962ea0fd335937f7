#!/bin/sh
# scripts/mutants.sh [NAME...]
# Plants the faults listed in scripts/mutants.txt one at a time, rebuilds,
# runs the suites that should notice, and says which faults they caught.
# Each fault is a one-line change: the line that holds FROM (exactly one in
# src/, or in the file or folder the fault names, wherever the code has
# moved) gets TO instead. The source is put
# back after each one. Prints "caught N/M" and names every fault that
# survived; a fault that does not build counts as neither.
# Slow (a rebuild each): not part of the test command. Builds in
# build/mutants-linux and build/mutants-windows.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
list=scripts/mutants.txt
log=build/mutants.log
mkdir -p build
: >"$log"

configured=""
configure() {  # linux | windows
  case " $configured " in *" $1 "*) return ;; esac
  if [ "$1" = linux ]; then
    cmake --preset linux -B build/mutants-linux >>"$log" 2>&1
  else
    cmake --preset windows-cross -B build/mutants-windows >>"$log" 2>&1
  fi
  configured="$configured $1"
}

run_suites() {  # linux|windows LABELS
  if [ "$1" = linux ]; then
    ctest --test-dir build/mutants-linux -L "$2" --timeout 120 >>"$log" 2>&1
  else
    scripts/with-wine.sh ctest --test-dir build/mutants-windows -L "$2" --timeout 120 >>"$log" 2>&1
  fi
}

caught=0 total=0 broken=0 survivors=""
try() {  # NAME BUILD LABELS WHERE FROM TO
  name=$1 build=$2 labels=$3 where=$4 from=$5 to=$6
  if [ -n "$only" ]; then
    case " $only " in *" $name "*) ;; *) return ;; esac
  fi
  files=$(grep -rlF --exclude='*.unmutated' -- "$from" "$where" || true)
  if [ "$(printf '%s\n' "$files" | grep -c .)" != 1 ] ||
    [ "$(grep -cF -- "$from" "$files")" != 1 ]; then
    echo "?? $name: \"$from\" is not on exactly one line of $where" | tee -a "$log"
    broken=$((broken + 1))
    return
  fi
  configure "$build"
  cp "$files" "$files.unmutated"
  FROM=$from TO=$to perl -pi -e 's/\Q$ENV{FROM}\E/$ENV{TO}/' "$files"
  echo "== $name ($files)" >>"$log"
  if ! cmake --build "build/mutants-$build" >>"$log" 2>&1; then
    echo "?? $name: does not build" | tee -a "$log"
    broken=$((broken + 1))
  else
    total=$((total + 1))
    if run_suites "$build" "$labels"; then
      echo "SURVIVED $name" | tee -a "$log"
      survivors="$survivors $name"
    else
      echo "caught   $name"
      caught=$((caught + 1))
    fi
  fi
  mv "$files.unmutated" "$files"
  touch "$files"
}

only="$*"
# mutants.txt: blocks of "@ NAME BUILD LABELS [WHERE]", "- FROM", "+ TO".
name="" build="" labels="" where="" from=""
while IFS= read -r line; do
  case $line in
  "@ "*) set -- ${line#@ }; name=$1 build=$2 labels=$3 where=${4:-src} ;;
  "- "*) from=${line#- } ;;
  "+ "*) try "$name" "$build" "$labels" "$where" "$from" "${line#+ }" ;;
  esac
done <"$list"

# The trees rebuilt from the unmutated source.
for b in $configured; do cmake --build "build/mutants-$b" >>"$log" 2>&1 || true; done
if [ "$broken" -gt 0 ]; then
  echo "caught $caught/$total ($broken not applied: see $log)"
else
  echo "caught $caught/$total"
fi
[ -z "$survivors" ] || echo "survived:$survivors"
