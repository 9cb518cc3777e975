#!/usr/bin/env bash
# Builds the project-file fuzzer with clang (libFuzzer, AddressSanitizer, UBSan) and runs it.
#   scripts/fuzz.sh [SECONDS]      (default 180)
# The corpus grows in fuzz/corpus-work/ (not kept in git), seeded with the sample project
# and the regression inputs in tests/network/fuzz_regressions/. A crashing input is written
# to fuzz/corpus-work/crash-* and the script fails; keep it as a regression test.
# Not part of the CI run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-180}
CXX=${CXX_FUZZ:-clang++}
out="$root/build-fuzz"
work="$root/fuzz/corpus-work"
mkdir -p "$out" "$work/corpus"

sources=(
  "$root/fuzz/scan_fuzzer.cpp"
  "$root/network/load_network.cpp"
  "$root/network/project_file.cpp"
  "$root/network/project_lines.cpp"
  "$root/network/network_model.cpp"
  "$root/network/geodetics.cpp"
  "$root/common/files.cpp"
  "$root/common/numbers.cpp"
  "$root/common/text.cpp"
  "$root/common/win1252.cpp"
)
"$CXX" -std=c++20 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "${sources[@]}" -o "$out/scan_fuzzer"

cp -n "$root/examples/red_ejemplo.txt" "$work/corpus/" 2>/dev/null || true
if [ -d "$root/tests/network/fuzz_regressions" ]; then
  cp -n "$root"/tests/network/fuzz_regressions/* "$work/corpus/" 2>/dev/null || true
fi

cd "$work"
"$out/scan_fuzzer" -max_total_time="$seconds" -max_len=16384 -timeout=10 \
  -dict="$root/fuzz/project.dict" \
  corpus
