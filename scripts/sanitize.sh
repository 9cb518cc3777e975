#!/usr/bin/env bash
# The core tests once more under the address and undefined-behaviour sanitizers, in a build
# folder of their own (not part of CI yet: see the README).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sanitize=${KORVO_SANITIZE_BUILD_DIR:-build-sanitize}
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$sanitize" "${generator[@]}" "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVO_SANITIZE=ON -DKORVO_BUILD_GUI=OFF -DKORVO_BUILD_BENCH=OFF >/dev/null
cmake --build "$sanitize" -j "$(nproc)"
cd "$sanitize"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j "$(nproc)"
