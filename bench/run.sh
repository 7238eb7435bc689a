#!/usr/bin/env bash
# Runs the benchmarks and prints each against its reference measured in the same
# run (cp, cp -r, mv, ls -lR, ls -l, rm -r, gio trash, find). Not part of ./test.sh;
# takes a quarter of an hour on a loaded machine.
#   bench/run.sh [copy-MiB]      (default 1024: one 1 GiB file)
#   bench/run.sh keys            only the cases driven by keys in a drive window
#   bench/run.sh keys CASE [N]   one of them alone (copy move delete trash rename
#                                tags logging rss; N files, the case's usual count
#                                without it), e.g. bench/run.sh keys rss 1000000
# The trees of the logging and rss cases are made once and kept in
# $QUORL_BENCH_TREES (default /tmp/quorl-bench-trees): the million files of rss
# take minutes to make the first time.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
cmake -S . -B build >/dev/null
cmake --build build -j2 --target bench_ops_bench bench_logging_bench bench_keys_bench Quorl quorl-setup \
    quorl-pkunzip quorl-command >/dev/null
mib=${1:-1024}
work=$(mktemp -d "${TMPDIR:-/tmp}/quorl-bench.XXXXXX")
# Another file system for the move: a RAM disk where the machine has one.
other=$(mktemp -d /dev/shm/quorl-bench.XXXXXX 2>/dev/null || mktemp -d "$work/other.XXXXXX")
trap 'rm -rf "$work" "$other"' EXIT

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores," \
     "$(free -g | awk '/Mem:/ {print $2}') GB, $(df -T "$work" | awk 'NR==2 {print $2}') at $work"
# The whole program driven by the keys a user presses in a drive window (the list,
# tags, panels and progress window included), each case in a process of its own.
keys() {
    echo "keys     (whole program, offscreen)   ours   reference   ratio"
    local n c
    for n in 1000 10000; do
        for c in copy move delete trash rename; do
            build/bench_keys_bench "$work/keys" "$other" "$c" "$n" 2>/dev/null
        done
    done | tee "$work/keys.txt"
    # Linear work grows tenfold from 1,000 to 10,000 files.
    awk '$2 == 1000 {t[$1] = $4} $2 == 10000 && t[$1] > 0 {printf "growth   %-8s %6.1fx from 1,000 to 10,000 files   (target <= 12x)\n", $1, $4 / t[$1]}' "$work/keys.txt"
    build/bench_keys_bench "$work/keys" "$other" tags 10000 2>/dev/null
    build/bench_keys_bench "$work/keys" "$other" logging 100000 2>/dev/null
    build/bench_keys_bench "$work/keys" "$other" rss 1000000 2>/dev/null
}
if [ "${1:-}" = keys ]; then
    if [ -n "${2:-}" ]; then
        case "$2" in
            tags) n=10000 ;; logging) n=100000 ;; rss) n=1000000 ;; *) n=1000 ;;
        esac
        build/bench_keys_bench "$work/keys" "$other" "$2" "${3:-$n}" 2>/dev/null
    else
        keys
    fi
    exit 0
fi
echo "case        ours    reference    ratio"
build/bench_ops_bench "$work/ops" "$other" "$mib"
build/bench_ops_bench "$work/rss" "$other" rss 2>/dev/null
# Extraction of a ZIP archive of 70,000 small entries (in 700 folders, taken in
# turns) by pkunzip -d against unzip -q, best of two turns each.
if command -v unzip >/dev/null && command -v python3 >/dev/null; then
    mkdir -p "$work/zip/xdg/quorl/dosdevices" && ln -s / "$work/zip/xdg/quorl/dosdevices/z:"
    python3 - "$work/zip/many.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for i in range(70000):
        z.writestr(f"d{i % 700:03d}/f{i:05d}.txt", f"entry {i}\n" * 4)
PY
    best() {
        local b="" s t
        for _ in 1 2; do
            rm -rf "$work/zip/out"; sync
            s=$(date +%s%N); "$@" >/dev/null; t=$(( $(date +%s%N) - s ))
            if [ -z "$b" ] || [ "$t" -lt "$b" ]; then b=$t; fi
        done
        echo "$b"
    }
    ref=$(best unzip -q "$work/zip/many.zip" -d "$work/zip/out")
    ours=$(best env XDG_DATA_HOME="$work/zip/xdg" build/quorl-pkunzip -o -d "$work/zip/many.zip" "$work/zip/out/")
    printf "zip      %9.3f s %9.3f s %6.2fx   (target <= 3x, 70,000 entries)\n" \
        "$(echo "$ours / 10^9" | bc -l)" "$(echo "$ref / 10^9" | bc -l)" "$(echo "$ours / $ref" | bc -l)"
    rm -rf "$work/zip"
else
    echo "zip      skipped: unzip or python3 missing"
fi
keys
echo "logging (program, 60 x 120):"
build/bench_logging_bench 60 120 | sed 's/^/  /'

# Start to the first drive window of the real binary under Xvfb.
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    export XDG_DATA_HOME="$work/xdg"
    build/quorl-setup --prefix "$XDG_DATA_HOME/quorl" >/dev/null 2>&1 || true
    # The first start reads the libraries from disk: the page cache is emptied
    # before it where the benchmark may (as root); the next starts are what a
    # user meets most days.
    xvfb-run -a bash -c '
        if [ -w /proc/sys/vm/drop_caches ]; then
            sync; echo 3 > /proc/sys/vm/drop_caches
            xdotool search --name "no such window" >/dev/null 2>&1 || true
        fi
        times=""
        for turn in 1 2 3 4 5; do
            start=$(date +%s%N)
            build/Quorl >/dev/null 2>&1 & pid=$!
            for _ in $(seq 1 1000); do
                xdotool search --name "Tree structure of" >/dev/null 2>&1 && break
                sleep 0.005
            done
            end=$(date +%s%N)
            kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
            times="$times $(( (end - start) / 1000000 ))"
        done
        set -- $times
        first=$1; shift
        median=$(printf "%s\n" "$@" | sort -n | sed -n 2p)
        printf "start    %9.3f s to the first drive window, %.3f s the first time (cold)   (target <= 0.3 s)\n" \
            "$(echo "$median / 1000" | bc -l)" "$(echo "$first / 1000" | bc -l)"
    '
else
    echo "start    skipped: xvfb-run or xdotool missing"
fi
