#!/bin/sh
# Times the checks' hot paths against the system's own tools on generated data, in one run, and prints
# a table of ratios. Usage: sh bench/run.sh BUILD_DIR  (a native Release build with ORV_BUILD_BENCH=ON).
#   ORV_BENCH_RUNS   timed runs per command, the best counts (default 9)
#   ORV_BENCH_DIR    where the data goes (default: a new folder under $TMPDIR or /tmp, removed at the end)
set -eu
. "$(dirname "$0")/table.sh"

build=${1:?usage: sh bench/run.sh BUILD_DIR}
tool=$build/bench/orv_bench_tool
micro=$build/bench/orv_count_bench
runs=${ORV_BENCH_RUNS:-9}
[ -x "$tool" ] || { echo "missing $tool: build with -DORV_BUILD_BENCH=ON" >&2; exit 1; }

work=$(mktemp -d "${ORV_BENCH_DIR:-${TMPDIR:-/tmp}}/orv-bench.XXXXXX")
sleepers=""
cleanup() {
    for pid in $sleepers; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in $sleepers; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

now_us() { echo $(($(date +%s%N) / 1000)); }

# measure "COMMAND": runs it once through the driver; sets wall and cpu (us) and rss (KiB).
measure() {
    set -- $(eval "'$tool' time $1")
    wall=$1
    cpu=$2
    rss=$3
}

# pair "A" "B": runs the two commands alternately (one warm-up each, then $runs timed runs) and keeps
# the best wall and processor times of each. Alternating spreads the noise of a shared machine evenly
# over both; the processor time leaves out the waits for a free processor.
pair() {
    measure "$1"
    measure "$2"
    wall_a=999999999999 cpu_a=999999999999 wall_b=999999999999 cpu_b=999999999999
    paired=""
    i=0
    while [ "$i" -lt "$runs" ]; do
        measure "$1"
        [ "$wall" -lt "$wall_a" ] && wall_a=$wall
        [ "$cpu" -lt "$cpu_a" ] && cpu_a=$cpu
        this_a=$wall
        measure "$2"
        [ "$wall" -lt "$wall_b" ] && wall_b=$wall
        [ "$cpu" -lt "$cpu_b" ] && cpu_b=$cpu
        paired="$paired $(ratio "$this_a" "$wall")"
        i=$((i + 1))
    done
}

ms() { awk -v us="$1" 'BEGIN { printf "%.1f ms", us / 1000 }'; }
format='%-32s %-22s %-28s %-6s %-6s %-8s %-8s %s\n'

# compare NAME ANCHOR_NAME TARGET: a table row from the last pair.
compare() {
    r_wall=$(ratio "$wall_a" "$wall_b")
    r_cpu=$(ratio "$cpu_a" "$cpu_b")
    row "$1" "$(ms "$wall_a") ($(ms "$cpu_a"))" "$2 $(ms "$wall_b") ($(ms "$cpu_b"))" "$r_wall" "$r_cpu" "<= $3" \
        "$(verdict "$r_wall" "$3")" "$(spread $paired)"
}

fail=0
check_equal() {
    if [ "$1" != "$2" ]; then
        echo "MISMATCH: $3: $1 != $2" >&2
        fail=1
    fi
}

echo "Data in $work"
start=$(now_us)
tree_total=$("$tool" tree "$work/tree" 2000 100)
echo "  tree: 200000 files in 2000 folders, $tree_total bytes of file data ($(ms $(($(now_us) - start))))"
needle=timeout
start=$(now_us)
frequent_expected=$("$tool" text "$work/frequent.txt" 1024 "$needle" 1)
dense_expected=$("$tool" text "$work/dense.txt" 1024 "$needle" -4)
rare_expected=$("$tool" text "$work/rare.txt" 1024 "$needle" 100000)
utf16_expected=$("$tool" text16 "$work/utf16.txt" 1024 "$needle" 1)
sync
echo "  text: four files of 1 GiB, \"$needle\" $frequent_expected, $dense_expected, $rare_expected and (UTF-16) $utf16_expected times ($(ms $(($(now_us) - start))))"

# Directory size: one thread, sizes from the listing, against du (also one thread).
check_equal "$("$tool" dirsize "$work/tree")" "$tree_total" "DirectorySize"
pair "'$tool' dirsize '$work/tree'" "du -sb '$work/tree'"
compare "DirectorySize, 200000 files" "du -sb:" 1.10

# The text count against reading the file and nothing else, and against ripgrep.
check_equal "$("$tool" count "$work/rare.txt" "$needle")" "$rare_expected" "count, rare"
check_equal "$("$tool" count "$work/frequent.txt" "$needle")" "$frequent_expected" "count, frequent"
check_equal "$("$tool" count "$work/dense.txt" "$needle")" "$dense_expected" "count, dense"
# rare: one line in 100,000; frequent: every line; dense: four times on every line.
for kind in rare frequent dense; do
    file=$work/$kind.txt
    limit=1.00
    [ "$kind" != rare ] && limit=1.20
    pair "'$tool' count '$file' '$needle'" "cat '$file'"
    compare "text count, 1 GiB, $kind" "cat:" "$limit"
    if command -v rg >/dev/null 2>&1; then
        check_equal "$(rg --no-mmap --count-matches -F "$needle" "$file" || true)" \
            "$("$tool" count "$file" "$needle")" "ripgrep's count, $kind"
        pair "'$tool' count '$file' '$needle'" "rg --no-mmap --count-matches -F '$needle' '$file'"
        compare "text count, 1 GiB, $kind" "rg:" 1.00
    fi
done

# A text whose code-page and UTF-8 forms differ ("таймаут" in Windows-1251 and in UTF-8): both forms
# are searched in the one read, with no copy of the data between them.
ansi=$(printf '\362\340\351\354\340\363\362')
pair "'$tool' count '$work/rare.txt' '$ansi' 'таймаут'" "cat '$work/rare.txt'"
compare "text count, 1 GiB, two forms" "cat:" 1.20

# A UTF-16 file with its byte-order mark, as PowerShell and reg export write them, the text on every
# line: its UTF-16 form alone is searched, matches at the start of a code unit only.
check_equal "$("$tool" count "$work/utf16.txt" "$needle")" "$utf16_expected" "count, UTF-16"
pair "'$tool' count '$work/utf16.txt' '$needle'" "cat '$work/utf16.txt'"
compare "text count, 1 GiB, UTF-16" "cat:" 1.30

# Peak memory of a process that counts in the 1 GiB file (its whole resident set, libraries included).
peak_kb=0
for kind in rare frequent dense utf16; do
    measure "'$tool' count '$work/$kind.txt' '$needle'"
    [ "$rss" -gt "$peak_kb" ] && peak_kb=$rss
done
measure "cat '$work/rare.txt'"
row "text count, peak memory" "$peak_kb KiB" "cat: $rss KiB" "" "" "< 8192" "$(verdict "$peak_kb" 8191)" ""

# One look at the process list among about 300 processes: the worst case, a name that is not running.
present=$(ls /proc | grep -c '^[0-9][0-9]*$')
while [ "$present" -lt 300 ]; do
    sleep 600 &
    sleepers="$sleepers $!"
    present=$((present + 1))
done
processes=$(ls /proc | grep -c '^[0-9][0-9]*$')
set -- $("$tool" proc orv-no-such-program.exe 300)
row "IsProcessRunning, $processes procs" "${2} us (median ${3})" "" "" "" "<= 1000 us" "$(verdict "$2" 1000)" ""
for pid in $sleepers; do kill "$pid" 2>/dev/null || true; done
for pid in $sleepers; do wait "$pid" 2>/dev/null || true; done
sleepers=""

echo
echo "Best of $runs runs; times are wall (processor); ratios are program / anchor; the last column is the"
echo "minimum / median / maximum of the wall-time ratios of the runs taken side by side."
printf "$format" "measurement" "program" "anchor" "wall" "proc." "target" "" "runs"
printf '%s' "$rows"

if [ -x "$micro" ]; then
    echo
    echo "In memory, without the file system:"
    "$micro" --benchmark_min_time=0.2 2>/dev/null | grep -E "^(Count|InCache|Copy|Streamed|Utf16Streamed)" || true
fi
exit $fail
