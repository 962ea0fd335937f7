#!/usr/bin/env bash
# Times quernel-cmd's dir against GNU ls on a folder of N entries.
# Usage: bench/cmd/bench_dir.sh BUILD_DIR [N]   (N defaults to 1,000,000)
# Wall time and peak memory come from /usr/bin/time when it is installed
# (Debian package "time"); otherwise only wall time is shown.
set -euo pipefail

build_dir=${1:?usage: bench_dir.sh BUILD_DIR [N]}
count=${2:-1000000}

find_program() {
    find "$build_dir" -type f -name "$1" -perm -u+x -print -quit
}
cmd_exe=$(find_program quernel-cmd)
make_tree=$(find_program quernel_cmd_make_tree)
if [[ -z $cmd_exe || -z $make_tree ]]; then
    echo "quernel-cmd or quernel_cmd_make_tree not built in $build_dir" >&2
    exit 1
fi

# The Chinese locale exercises the pinyin order; fall back to C.UTF-8.
locale_name=C.UTF-8
if locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then locale_name=zh_CN.UTF-8; fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quernel-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
tree=$work/tree

start=$(date +%s.%N)
"$make_tree" "$tree" "$count"
created=$(date +%s.%N)
awk -v n="$count" -v a="$start" -v b="$created" -v l="$locale_name" \
    'BEGIN { printf "Created %d entries in %.1f s; commands run under %s\n\n", n, b - a, l }'

have_time=false
[[ -x /usr/bin/time ]] && have_time=true

# measure LABEL TOOL COMMAND...: runs the command with stdout into
# $work/out.txt and prints one table row.
measure() {
    local label=$1 tool=$2
    shift 2
    local wall rss
    if $have_time; then
        /usr/bin/time -f '%e %M' -o "$work/time.txt" env LC_ALL="$locale_name" "$@" >"$work/out.txt"
        read -r wall rss <"$work/time.txt"
        rss=$(awk -v kb="$rss" 'BEGIN { printf "%.1f", kb / 1024 }')
    else
        local t0 t1
        t0=$(date +%s.%N)
        env LC_ALL="$locale_name" "$@" >"$work/out.txt"
        t1=$(date +%s.%N)
        wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", b - a }')
        rss=n/a
    fi
    local output=$work/out.txt lines
    [[ -s $work/result.txt ]] && output=$work/result.txt
    lines=$(wc -l <"$output")
    rm -f "$work/result.txt"
    printf '%-18s %-14s %9s %12s %10s\n' "$label" "$tool" "$wall" "$rss" "$lines"
}

# dir_batch SWITCHES: a batch file as Quernel writes it, listing into
# $work/result.txt.
dir_batch() {
    printf 'dir "%s\\*.*"  %s >"%s\\result.txt"\r\nexit\r\n' "$tree" "$1" "$work" >"$work/path.bat"
    echo "$work/path.bat"
}

printf '%-18s %-14s %9s %12s %10s\n' case tool 'wall s' 'peak RSS MB' lines
measure 'full, by name' quernel-cmd "$cmd_exe" /c "$(dir_batch '/o:n')"
measure 'full, by name' 'ls -l' ls -l "$tree"
measure 'bare, by name' quernel-cmd "$cmd_exe" /c "$(dir_batch '/o:n /b')"
measure 'bare, by name' 'ls -1' ls -1 "$tree"
measure 'bare, unsorted' quernel-cmd "$cmd_exe" /c "$(dir_batch '/b')"
measure 'bare, unsorted' 'ls -1U' ls -1U "$tree"
measure 'full, largest' quernel-cmd "$cmd_exe" /c "$(dir_batch '/o:-s')"
measure 'full, largest' 'ls -lS' ls -lS "$tree"
measure 'wide, lower-case' quernel-cmd "$cmd_exe" /c "$(dir_batch '/a /o:gn /l /w')"
measure 'wide' 'ls -x' ls -x "$tree"
