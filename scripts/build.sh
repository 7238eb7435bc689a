#!/usr/bin/env bash
# Builds the given targets into build/ (default: everything). Later builds re-run
# cmake by themselves when a CMakeLists.txt or the set of sources changed.
set -euo pipefail
cd "$(dirname "$0")/.."
# Paths relative to the checkout, so a fresh clone reuses the objects of another.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}" CCACHE_NOHASHDIR=1
# Configured once (again when that stopped half-way). A new build folder uses
# Ninja, which finds that nothing changed in a fraction of a second; make took seconds.
if [ ! -f build/cmake_install.cmake ]; then
  generator=()
  [ -f build/CMakeCache.txt ] || ! command -v ninja >/dev/null || generator=(-G Ninja)
  cmake "${generator[@]}" -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
