#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang (AddressSanitizer, UBSan) and runs each
# one in turn:
#   scripts/fuzz.sh [SECONDS] [NAME...]   (default 15 s each; all of project, wave, matrix,
#                                          coordinate)
#   KORVO_FUZZ_RUNS=N scripts/fuzz.sh [NAME...]
#                                         (N inputs per harness from a fixed seed, starting
#                                          afresh from the examples each time: the CI run)
# korvo_core is built by CMake with clang into build-fuzz/core (or KORVO_FUZZ_DIR/core), so
# every core folder and the libraries it uses are there as in the normal build. A timed run
# grows its corpus in fuzz/corpus-work/NAME (not kept in git), seeded with the examples; a
# run of N inputs works in build-fuzz/runs/NAME, emptied first, so that it is the same run
# every time. A crashing or slow input is written to the run's folder as crash-* (or
# timeout-*, leak-*) and the script fails; keep it as a regression row in
# tests/hardening/fuzz_regressions_test.cpp.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
seconds=15
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(project wave matrix coordinate)
runs=${KORVO_FUZZ_RUNS:-}
if [ -n "$runs" ] && ! [[ $runs =~ ^[0-9]+$ ]]; then
  echo "KORVO_FUZZ_RUNS debe ser un número de entradas: $runs" >&2
  exit 2
fi
CXX=${CXX_FUZZ:-clang++}
out=${KORVO_FUZZ_DIR:-$root/build-fuzz}
sanitizers=(-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined)

# The core library, instrumented for coverage but without libFuzzer's main.
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
if [ ! -f "$out/core/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$out/core" "${generator[@]}" "${launcher[@]}" -DCMAKE_CXX_COMPILER="$CXX" \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="${sanitizers[*]} -fsanitize=fuzzer-no-link" \
    -DKORVO_BUILD_GUI=OFF -DKORVO_BUILD_TESTS=OFF -DKORVO_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$out/core" --target korvo_core -j "$(nproc)"
includes=(-I"$root" -isystem /usr/include/eigen3)

seed() {  # NAME FOLDER: the example inputs of each reader
  case "$1" in
    project)  # the sample, and the sample cut below the harness's limit for a whole adjustment
              # (no directions from 1 and 2, one baseline: 56 rows)
      cp "$root/examples/red_ejemplo.txt" "$2/"
      LC_ALL=C awk '/^OBSERVACIONES GPS/ { gps = 1 }
                    /^ Direcci.n  de    [12] / { next }
                    gps && /^L.nea base GPS/ { baselines++ }
                    gps && baselines > 1 && NF > 0 { next }
                    { print }' "$root/examples/red_ejemplo.txt" >"$2/red_pequena.txt" ;;
    wave) cp "$root/examples/informe_wave.txt" "$2/" ;;
    coordinate) printf '3\r\n40.2530125,-3.4512,850\r\n' >"$2/seed" ;;
    matrix) (cat "$root/examples/matrices/A.txt"; printf '|'; cat "$root/examples/matrices/k.txt"; printf '|';
             cat "$root/examples/matrices/P.txt") >"$2/seed" ;;
  esac
}

status=0
for name in "${names[@]}"; do
  if [ ! -f "$root/fuzz/${name}_fuzzer.cpp" ]; then
    echo "No hay ningún fuzz/${name}_fuzzer.cpp" >&2
    exit 2
  fi
  "$CXX" -std=c++20 "${sanitizers[@]}" -fsanitize=fuzzer "${includes[@]}" "$root/fuzz/${name}_fuzzer.cpp" \
    "$out/core/libkorvo_core.a" -o "$out/${name}_fuzzer"
  if [ -n "$runs" ]; then
    work="$out/runs/$name"
    rm -rf "$work"
    limit=(-runs="$runs" -seed=1)
    echo "== $name: $runs entradas"
  else
    work="$root/fuzz/corpus-work/$name"
    limit=(-max_total_time="$seconds")
    echo "== $name: $seconds s"
  fi
  mkdir -p "$work/corpus"
  [ -n "$(ls -A "$work/corpus")" ] || seed "$name" "$work/corpus"
  dict=()
  [ -f "$root/fuzz/$name.dict" ] && dict=(-dict="$root/fuzz/$name.dict")
  (cd "$work" && "$out/${name}_fuzzer" "${limit[@]}" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
     "${dict[@]}" corpus) || { status=1; echo "Fallo de $name: $work" >&2; }
done
exit $status
