#!/usr/bin/env bash
# Runs the benchmarks and prints each against its reference measured in the same
# run (cp, cp -r, mv, ls -lR, ls -l). Not part of ./test.sh; takes a few minutes.
#   bench/run.sh [copy-MiB]      (default 1024: one 1 GiB file)
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
cmake -S . -B build >/dev/null
cmake --build build -j2 --target bench_ops_bench bench_logging_bench Quorl quorl-setup >/dev/null
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
