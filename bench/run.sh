#!/usr/bin/env bash
# Runs the benchmarks and prints each against its reference measured in the same
# run (cp, cp -r, mv, ls -lR, ls -l). Not part of ./test.sh; takes a few minutes.
#   bench/run.sh [copy-MiB]      (default 1024: one 1 GiB file)
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
cmake -S . -B build >/dev/null
cmake --build build -j2 --target bench_ops_bench bench_logging_bench Quorl quorl-setup quorl-pkunzip >/dev/null
mib=${1:-1024}
work=$(mktemp -d "${TMPDIR:-/tmp}/quorl-bench.XXXXXX")
# Another file system for the move: a RAM disk where the machine has one.
other=$(mktemp -d /dev/shm/quorl-bench.XXXXXX 2>/dev/null || mktemp -d "$work/other.XXXXXX")
trap 'rm -rf "$work" "$other"' EXIT

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores," \
     "$(free -g | awk '/Mem:/ {print $2}') GB, $(df -T "$work" | awk 'NR==2 {print $2}') at $work"
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
echo "logging (program, 60 x 120):"
build/bench_logging_bench 60 120 | sed 's/^/  /'

# Start to the first drive window of the real binary under Xvfb.
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    export XDG_DATA_HOME="$work/xdg"
    build/quorl-setup --prefix "$XDG_DATA_HOME/quorl" >/dev/null 2>&1 || true
    xvfb-run -a bash -c '
        start=$(date +%s%N)
        build/Quorl >/dev/null 2>&1 & pid=$!
        for _ in $(seq 1 1000); do
            xdotool search --name "Tree structure of" >/dev/null 2>&1 && break
            sleep 0.005
        done
        end=$(date +%s%N)
        kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
        printf "start    %9.3f s to the first drive window   (target <= 0.3 s)\n" "$(echo "($end - $start) / 1000000000" | bc -l)"
    '
else
    echo "start    skipped: xvfb-run or xdotool missing"
fi
