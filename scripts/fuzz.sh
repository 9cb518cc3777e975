#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang (AddressSanitizer, UBSan) and runs each
# one in turn:
#   scripts/fuzz.sh [SECONDS] [NAME...]   (default 15 s each; all of project, wave, matrix,
#                                          coordinate)
# The core sources are compiled once into build-fuzz/obj (recompiled when newer than their
# object). Each corpus grows in fuzz/corpus-work/NAME (not kept in git), seeded with the
# examples. A crashing or slow input is written to fuzz/corpus-work/NAME/crash-* (or
# timeout-*) and the script fails; keep it as a regression row in tests/hardening.
# Not part of the CI run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-15}
shift || true
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(project wave matrix coordinate)
CXX=${CXX_FUZZ:-clang++}
out="$root/build-fuzz"
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined
       -I"$root")
mkdir -p "$out/obj"

# Every non-window source of the core folders, compiled when its object is out of date.
for dir in common network engine report matimport coordtransform; do
  for source in "$root/$dir"/*.cpp; do
    case "$source" in *_window.cpp|*_dialog.cpp) continue ;; esac
    object="$out/obj/${dir}_$(basename "${source%.cpp}").o"
    if [ ! -f "$object" ] || [ "$source" -nt "$object" ] || [ -n "$(find "$root/$dir" "$root/common" -name '*.h' -newer "$object" -print -quit)" ]; then
      echo "$source $object"
    fi
  done
done | xargs -r -P "$(nproc)" -n 2 sh -c '"$0" '"$(printf '%q ' "${flags[@]}")"' -fsanitize=fuzzer-no-link -c "$1" -o "$2"' "$CXX"
objects=()
for dir in common network engine report matimport coordtransform; do
  for source in "$root/$dir"/*.cpp; do
    case "$source" in *_window.cpp|*_dialog.cpp) continue ;; esac
    objects+=("$out/obj/${dir}_$(basename "${source%.cpp}").o")
  done
done

seed() {  # NAME: the example inputs of each reader
  case "$1" in
    project) echo "$root/examples/red_ejemplo.txt" ;;
    wave) echo "$root/examples/informe_wave.txt" ;;
    coordinate) ;;
    matrix) ;;
  esac
}

status=0
for name in "${names[@]}"; do
  "$CXX" "${flags[@]}" -fsanitize=fuzzer "$root/fuzz/${name}_fuzzer.cpp" "${objects[@]}" -o "$out/${name}_fuzzer"
  work="$root/fuzz/corpus-work/$name"
  mkdir -p "$work/corpus"
  for file in $(seed "$name"); do cp -n "$file" "$work/corpus/" 2>/dev/null || true; done
  case "$name" in
    coordinate) printf '3\r\n40.2530125,-3.4512,850\r\n' >"$work/corpus/seed" ;;
    matrix) (cat "$root/examples/matrices/A.txt"; printf '|'; cat "$root/examples/matrices/k.txt"; printf '|';
             cat "$root/examples/matrices/P.txt") >"$work/corpus/seed" ;;
  esac
  dict=()
  [ -f "$root/fuzz/$name.dict" ] && dict=(-dict="$root/fuzz/$name.dict")
  echo "== $name: $seconds s"
  (cd "$work" && "$out/${name}_fuzzer" -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
     "${dict[@]}" corpus) || status=1
done
exit $status
