#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (address and undefined
# behaviour checks) into build-fuzz/, apart from the normal build, and runs each
# for FUZZ_SECONDS (60) seconds. A crash stops the script; the input that caused
# it is left in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"

scripts/deps.sh clang libclang-rt-dev

cxx=clang++
command -v ccache >/dev/null && cxx="ccache clang++"
out=build-fuzz
mkdir -p "$out/obj"
sanitize=(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
read -r -a qtflags <<<"$(pkg-config --cflags Qt6Core Qt6Widgets)"
read -r -a qtlibs <<<"$(pkg-config --libs Qt6Core)"
cxxflags=(-std=c++20 -g -O1 -fPIC -Isrc "${qtflags[@]}" "${sanitize[@]}")

# The program's sources each target needs: pure text functions and the
# platform layer, which needs only Qt Core.
sources=(src/config/settingstext.cpp src/config/more.cpp src/fileops/validate.cpp src/platform/*.cpp)
objects=()
for s in "${sources[@]}"; do
  o="$out/obj/$(echo "${s%.cpp}" | tr / _).o"
  if [ ! -f "$o" ] || [ "$s" -nt "$o" ] || [ -n "$(find src -name '*.h' -newer "$o" -print -quit)" ]; then
    $cxx "${cxxflags[@]}" -fsanitize=fuzzer-no-link -c "$s" -o "$o"
  fi
  objects+=("$o")
done

declare -A needs=(
  [settings]="src_config_settingstext.o src_config_more.o"
  [namemask]="src_fileops_validate.o"
  [parseattr]="src_fileops_validate.o"
  [filespec]="src_platform_*.o"
)
for target in settings namemask parseattr filespec; do
  deps=()
  for pattern in ${needs[$target]}; do
    for o in "$out"/obj/$pattern; do deps+=("$o"); done
  done
  $cxx "${cxxflags[@]}" -fsanitize=fuzzer "fuzz/${target}_fuzz.cpp" "${deps[@]}" "${qtlibs[@]}" -o "$out/${target}_fuzz"
done

for target in settings namemask parseattr filespec; do
  corpus="$out/corpus/$target"
  mkdir -p "$corpus"
  # The shipped settings file is where the settings reader starts from.
  [ "$target" = settings ] && cp -n data/quorl.ini "$corpus/shipped.ini"
  echo "Fuzzing $target for $seconds s"
  (cd "$out" && "./${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 "corpus/$target" \
     >"${target}.log" 2>&1) || { tail -40 "$out/${target}.log"; echo "fuzz target $target failed"; exit 1; }
  grep -E "stat::number_of_executed_units|Done" "$out/${target}.log" | tail -2
done
