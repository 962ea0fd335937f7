#!/usr/bin/env bash
# bench/run.sh [--quick]: prints figures, asserts nothing.
#   1. quernel-cmd's dir against GNU ls on generated folders of 10 k, 100 k
#      and 1 M entries (--quick: 10 k and 100 k) on tmpfs, under zh_CN.UTF-8
#      and C: wall time (best of 3) and peak memory (/usr/bin/time %M).
#   2. Start-up to the first window: quernel (Qt, offscreen) against a
#      minimal Qt window, empty and with one Chinese label (median of 5 in
#      ms, and instructions counted by callgrind), and Quernel.exe under
#      Wine against a minimal Win32 window (median of 5).
#   3. The Win32 conversion of cmd /u's listing to UTF-8 (ListingToUtf8)
#      under Wine on tmpfs: 100 k and 1 M synthetic lines, best of 3, MB/s
#      and the peak working set before and after; and the whole 输出 of
#      Quernel.exe under Wine on 100 k entries against the same `cmd /u` run
#      alone: Quernel's own share of the time.
#   4. Stripped sizes of Quernel.exe, quernel and quernel-cmd.
#   5. The goals, with the measured values.
# Builds what it needs with the linux and windows-cross presets. Other work
# on the machine skews the figures: the load is printed at start and end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

sizes=(10000 100000 1000000)
if [[ ${1:-} == --quick ]]; then sizes=(10000 100000); fi
locales=(zh_CN.UTF-8 C)
runs=3

if [[ ! -x /usr/bin/time || ! -x $(command -v valgrind || true) ]]; then
  if [[ $(id -u) == 0 ]]; then
    apt-get install -y -qq time valgrind >/dev/null
  else
    echo "bench/run.sh: needs /usr/bin/time and valgrind: apt-get install time valgrind (as root)" >&2
    exit 1
  fi
fi

echo "load at start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"

echo "== Building (linux and windows-cross presets)"
{
  cmake --preset linux && nice -n 10 cmake --build --preset linux \
    --target quernel-cmd quernel_cmd_make_tree quernel_missing_names quernel quernel_minimal_qt
} >/dev/null
have_windows=true
{
  cmake --preset windows-cross && nice -n 10 cmake --build --preset windows-cross \
    --target Quernel quernel_minimal_win32 quernel_first_window quernel_convert_listing quernel_output_share
} >/dev/null 2>&1 || have_windows=false

linux_build=$root/build/linux
windows_build=$root/build/windows
cmd_exe=$linux_build/src/quernel-cmd/quernel-cmd
make_tree=$linux_build/bench/quernel_cmd_make_tree
missing_names=$linux_build/bench/quernel_missing_names
qt_exe=$linux_build/src/platform/qt/quernel
minimal_qt=$linux_build/bench/quernel_minimal_qt
win_exe=$windows_build/src/platform/win32/Quernel.exe
minimal_win32=$windows_build/bench/quernel_minimal_win32.exe
first_window=$windows_build/bench/quernel_first_window.exe
convert_listing=$windows_build/bench/quernel_convert_listing.exe

# The folders and every output live on tmpfs.
shm=/dev/shm
[[ -d $shm && -w $shm ]] || shm=${TMPDIR:-/tmp}
work=$(mktemp -d "$shm/quernel-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
[[ $(stat -f -c %T "$work") == tmpfs ]] || echo "note: $work is not on tmpfs"

# best COMMAND...: runs the command $runs times with stdout to $work/out.txt;
# prints the best wall time (s) and the peak memory (KB) of that run.
best() {
  local best_wall='' best_rss='' wall rss start end
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/time.txt" "$@" >"$work/out.txt"
    end=$(date +%s%N)
    wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    read -r rss <"$work/time.txt"
    if [[ -z $best_wall ]] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
      best_wall=$wall best_rss=$rss
    fi
  done
  echo "$best_wall $best_rss"
}

# A batch file as Quernel writes it, listing into the tmpfs.
dir_batch() {  # folder, switches
  printf 'dir "%s\\*.*" %s >"%s\\result.txt"\r\nexit\r\n' "$1" "$2" "$work" >"$work/path.bat"
  echo "$work/path.bat"
}

declare -A ratio
echo
echo "== quernel-cmd against GNU ls (best of $runs; peak memory in MB)"
printf '%9s %-12s %-24s %-7s %8s %8s %8s %8s %7s\n' entries locale 'case (quernel-cmd)' ls 'cmd s' 'ls s' 'cmd MB' 'ls MB' 'cmd/ls'
for count in "${sizes[@]}"; do
  tree=$work/tree-$count
  "$make_tree" "$tree" "$count"
  for locale_name in "${locales[@]}"; do
    unsorted_ls=''
    for row in 'sorted bare|/o:n /b|-1' 'full|/o:n|-l' 'by size|/o:-s|-lS' 'unsorted bare|/b|-1U'; do
      IFS='|' read -r label switches ls_switch <<<"$row"
      read -r cmd_wall cmd_rss < <(best env LC_ALL="$locale_name" "$cmd_exe" /c "$(dir_batch "$tree" "$switches")")
      read -r ls_wall ls_rss < <(best env LC_ALL="$locale_name" ls "$ls_switch" "$tree")
      printf '%9d %-12s %-24s %-7s %8.3f %8.3f %8.1f %8.1f %6.2fx\n' "$count" "$locale_name" "$label ($switches)" \
        "ls $ls_switch" "$cmd_wall" "$ls_wall" "$(awk -v k="$cmd_rss" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$ls_rss" 'BEGIN { print k / 1024 }')" \
        "$(awk -v a="$cmd_wall" -v b="$ls_wall" 'BEGIN { print (b > 0 ? a / b : 0) }')"
      ratio[$count/$locale_name/$label]=$cmd_wall
      [[ $label == 'unsorted bare' ]] && ratio[$count/$locale_name/ls-1U]=$ls_wall
    done
  done
  rm -rf "$tree"
done

echo
echo "== Dropped or given paths that name nothing: 30 looked up in a folder of ${sizes[-1]} entries"
"$make_tree" "$work/missing" "${sizes[-1]}"
"$missing_names" "$work/missing"
rm -rf "$work/missing"

# median VALUES...: the middle value.
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# startup_line VAR LABEL RUNS...: a line of start-up figures, its median kept in VAR.
startup_line() {
  local -n kept=$1
  kept=$(median "${@:3}")
  printf '%-34s %6s ms   (runs: %s)\n' "$2" "$kept" "${*:3}"
}

echo
echo "== Start-up to the first window (median of 5; ms)"
# Both Qt programs print the milliseconds from their process's start to the
# first paint of their window (from /proc/self/stat); quernel keeps running
# and is ended once it has said so.
qt_startup() {  # program [arguments]
  local out=$work/startup.txt pid tries
  : >"$out"
  env QT_QPA_PLATFORM=offscreen QUERNEL_STARTUP_TIME=1 stdbuf -oL "$@" >"$out" 2>/dev/null &
  pid=$!
  for ((tries = 0; tries < 300; tries++)); do
    grep -q 'first paint after' "$out" && break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  sed -n 's/^first paint after \([0-9.]*\) ms$/\1/p' "$out"
}
# Two baselines: an empty window, which loads no font before its first
# paint, and one with a line of Chinese text in quernel's font, which pays
# for fontconfig, the font and its glyphs as any Chinese window must.
qt_times=() minimal_qt_times=() label_qt_times=()
qt_startup "$qt_exe" >/dev/null  # warm the file cache
qt_startup "$minimal_qt" >/dev/null
qt_startup "$minimal_qt" --label >/dev/null
for ((i = 0; i < 5; i++)); do
  qt_times+=("$(qt_startup "$qt_exe")")
  minimal_qt_times+=("$(qt_startup "$minimal_qt")")
  label_qt_times+=("$(qt_startup "$minimal_qt" --label)")
done
startup_line qt_ms 'quernel (Qt, offscreen)' "${qt_times[@]}"
startup_line minimal_qt_ms 'minimal Qt window (offscreen)' "${minimal_qt_times[@]}"
startup_line label_qt_ms 'minimal Qt window, Chinese label' "${label_qt_times[@]}"

# The same three counted in instructions up to the first paint (callgrind),
# which other work on the machine does not skew.
qt_instructions() {  # program [arguments]
  local out=$work/callgrind.out
  rm -f "$out"*
  env QT_QPA_PLATFORM=offscreen QUERNEL_STARTUP_TIME=1 timeout -s INT 60 valgrind --tool=callgrind \
    --dump-before='*MillisecondsSinceProcessStart*' --callgrind-out-file="$out" "$@" >/dev/null 2>&1 || true
  sed -n 's/^summary: //p' "$out.1" 2>/dev/null | awk '{ printf "%.1f", $1 / 1e6 }'
}
qt_ir='' minimal_qt_ir='' label_qt_ir=''
if command -v valgrind >/dev/null; then
  qt_ir=$(qt_instructions "$qt_exe")
  minimal_qt_ir=$(qt_instructions "$minimal_qt")
  label_qt_ir=$(qt_instructions "$minimal_qt" --label)
  printf '%-34s %6s M instructions to the first paint\n' 'quernel (Qt, offscreen)' "$qt_ir" \
    'minimal Qt window (offscreen)' "$minimal_qt_ir" 'minimal Qt window, Chinese label' "$label_qt_ir"
else
  echo "instructions to the first paint: skipped (no valgrind)"
fi

# Under Wine both programs are started by the same helper, which polls for
# the program's first visible top-level window: from just before
# CreateProcess to the window being shown. One wine server serves all runs;
# the first run of each only warms up.
win_ms='' minimal_win_ms=''
if $have_windows && [[ -x $(command -v wine || true) ]]; then
  wine_out=$(scripts/with-wine.sh sh -c '
    helper=$1 quernel=$(winepath -w "$2") minimal=$(winepath -w "$3")
    for i in 0 1 2 3 4 5; do
      echo "quernel $(wine "$helper" "$quernel" </dev/null 2>/dev/null)"
      echo "minimal $(wine "$helper" "$minimal" </dev/null 2>/dev/null)"
    done' sh "$first_window" "$win_exe" "$minimal_win32" 2>/dev/null) || true
  win_times=($(echo "$wine_out" | sed -n 's/^quernel first window after \([0-9]*\) ms.*/\1/p' | tail -n +2))
  minimal_win_times=($(echo "$wine_out" | sed -n 's/^minimal first window after \([0-9]*\) ms.*/\1/p' | tail -n +2))
  if ((${#win_times[@]} > 0 && ${#minimal_win_times[@]} > 0)); then
    startup_line win_ms 'Quernel.exe (Wine)' "${win_times[@]}"
    startup_line minimal_win_ms 'minimal Win32 window (Wine)' "${minimal_win_times[@]}"
  else
    echo "Wine start-up: no figures (the programs did not show a window)"
  fi
else
  echo "Wine start-up: skipped (no Windows build or no wine)"
fi

echo
echo "== The Win32 listing made UTF-8 (ListingToUtf8 under Wine, on tmpfs; best of 3)"
# The program writes each listing as cmd /u would (UTF-16LE) into the folder
# it is given and prints one line per size.
convert_mbs=''
if $have_windows && [[ -x $(command -v wine || true) ]]; then
  mkdir -p "$work/listing"
  convert_out=$(scripts/with-wine.sh sh -c 'wine "$1" "$(winepath -w "$2")" 100000 1000000 </dev/null 2>&1' \
    sh "$convert_listing" "$work/listing" 2>/dev/null) || true
  echo "$convert_out" | grep ' lines ' || echo "no figures: $convert_out"
  convert_mbs=$(echo "$convert_out" | awk '$1 == 1000000 && $2 == "lines" { print $11 }')
else
  echo "skipped (no Windows build or no wine)"
fi

echo
echo "== The whole 输出 under Wine: 100 k entries, one run (Wine's dir takes minutes)"
# From the click on 输出 to the notice box, against the same `cmd /u` run on
# the batch file Quernel wrote: the rest is Quernel's own work (writing the
# batch file, starting and waiting for cmd, the UTF-8 conversion, checks).
output_share=$windows_build/bench/quernel_output_share.exe
share=''
if $have_windows && [[ -x $(command -v wine || true) && -f $output_share ]]; then
  mkdir -p "$work/output/program"
  cp "$win_exe" "$work/output/program/"
  "$make_tree" "$work/output/tree" 100000
  share_out=$(scripts/with-wine.sh sh -c 'wine "$1" "$(winepath -w "$2")" "$(winepath -w "$3")" 1 </dev/null 2>/dev/null' \
    sh "$output_share" "$work/output/program" "$work/output/tree" 2>/dev/null) || true
  echo "${share_out:-no figures}"
  share=$(echo "$share_out" | sed -n "s/.*Quernel's share \([0-9.]*\)%.*/\1/p")
  rm -rf "$work/output"
else
  echo "skipped (no Windows build or no wine)"
fi

echo
echo "== Stripped sizes (bytes)"
stripped_size() {  # strip program, file
  [[ -f $2 ]] || { echo n/a; return; }
  "$1" -o "$work/stripped" "$2" && stat -c %s "$work/stripped"
}
exe_size=$(stripped_size x86_64-w64-mingw32-strip "$win_exe")
printf '%-14s %10s\n' Quernel.exe "$exe_size" quernel "$(stripped_size strip "$qt_exe")" \
  quernel-cmd "$(stripped_size strip "$cmd_exe")"

echo
largest=${sizes[-1]}
echo "== Goals (quernel-cmd at $largest entries under zh_CN.UTF-8)"
goal_row() {  # goal, measured, limit, unit
  local met=no
  if [[ -n $2 && $2 != n/a ]] && awk -v a="$2" -v b="$3" 'BEGIN { exit !(a <= b) }'; then met=yes; fi
  printf '%-38s %12s %12s   %s\n' "$1" "${2:-n/a}$4" "<= $3$4" "$met"
}
ratio_of() { [[ -n ${1:-} && -n ${2:-} ]] && awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b }'; }
ls_u=${ratio[$largest/zh_CN.UTF-8/ls-1U]}
printf '%-38s %12s %12s   %s\n' goal measured limit met
goal_row 'unsorted bare (/b) vs ls -1U' "$(ratio_of "${ratio[$largest/zh_CN.UTF-8/unsorted bare]}" "$ls_u")" 1.2 x
goal_row 'sorted bare (/o:n /b) vs ls -1U' "$(ratio_of "${ratio[$largest/zh_CN.UTF-8/sorted bare]}" "$ls_u")" 2.5 x
goal_row 'quernel start-up vs minimal Qt' "$(ratio_of "$qt_ms" "$minimal_qt_ms")" 1.2 x
echo "(quernel start-up vs the minimal window with a Chinese label: $(ratio_of "$qt_ms" "$label_qt_ms")x;"
echo " in instructions: $(ratio_of "$qt_ir" "$minimal_qt_ir")x the empty window, $(ratio_of "$qt_ir" "$label_qt_ir")x the labelled one)"
goal_row 'Quernel.exe stripped' "$exe_size" 307200 ' B'
goal_row "Quernel's share of 输出 (Wine, 100 k)" "$share" 10 %
[[ -n $win_ms ]] && echo "(Quernel.exe under Wine vs minimal Win32: $(ratio_of "$win_ms" "$minimal_win_ms")x, no goal)"
convert_met=no
[[ -n $convert_mbs ]] && awk -v a="$convert_mbs" 'BEGIN { exit !(a >= 200) }' && convert_met=yes
printf '%-38s %12s %12s   %s\n' 'listing to UTF-8, 1 M lines (Wine)' "${convert_mbs:-n/a} MB/s" '>= 200 MB/s' "$convert_met"
echo "load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
