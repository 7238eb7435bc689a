#!/usr/bin/env bash
# Times ./run.sh to the first drive window, as a newcomer meets it:
#   cold   a copy of this checkout without build/, an empty compiler cache
#   clone  another such copy, the compiler cache the cold run filled
#   again  ./run.sh once more in that copy, nothing changed
# Extra arguments go to cmake's first configure step (e.g. -DQUORL_PCH=OFF).
# Not part of ./test.sh; a cold run takes minutes. The packages must be installed.
set -euo pipefail

# Under the X server: seconds from ./run.sh (in the current folder) to a window
# titled "Tree structure of ...".
if [ "${1:-}" = --timed ]; then
    label=$2
    shift 2
    start=$(date +%s%N)
    setsid bash -c '[ $# = 0 ] || [ -d build ] || cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
                    exec ./run.sh' _ "$@" >"run-$label.log" 2>&1 &
    pid=$!
    until xdotool search --name "Tree structure of" >/dev/null 2>&1; do
        kill -0 $pid 2>/dev/null || { echo "$label: run.sh ended without a window"; tail "run-$label.log"; exit 1; }
        sleep 0.05
    done
    end=$(date +%s%N)
    kill -- -$pid
    wait $pid 2>/dev/null || true
    printf "%-6s %7.1f s   (load %s)\n" "$label" "$(echo "($end - $start) / 1000000000" | bc -l)" \
        "$(cut -d' ' -f1-3 /proc/loadavg)"
    exit 0
fi

cd "$(dirname "$0")/.."
me=$PWD/bench/start.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/quorl-start.XXXXXX")
trap 'rm -rf "$work"' EXIT
export CCACHE_DIR="$work/ccache"

copy() {
    mkdir -p "$1"
    git ls-files -z --cached --others --exclude-standard | tar -c --null -T - | tar -x -C "$1"
}

timed_run() {
    local dir=$1 label=$2
    shift 2
    mkdir -p "$work/home-$label"
    (cd "$dir" && HOME="$work/home-$label" XDG_DATA_HOME="$work/home-$label/data" \
        xvfb-run -a "$me" --timed "$label" "$@" </dev/null)
}

echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
copy "$work/a"
timed_run "$work/a" cold "$@"
copy "$work/b"
timed_run "$work/b" clone "$@"
timed_run "$work/b" again
