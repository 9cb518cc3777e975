#!/usr/bin/env bash
# The core tests once more under the address and undefined-behaviour sanitizers (korvo_tests
# and the korvo-cli it runs), in a build folder of their own: build-sanitize/, or the folder
# given in KORVO_SANITIZE_BUILD_DIR. Optimised at -O1, enough for the sanitizers and quicker
# to build. Any report of either sanitizer stops the test at fault and fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
sanitize=${KORVO_SANITIZE_BUILD_DIR:-build-sanitize}
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$sanitize" "${generator[@]}" "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" \
  -DKORVO_SANITIZE=ON -DKORVO_BUILD_GUI=OFF -DKORVO_BUILD_BENCH=OFF >/dev/null
cmake --build "$sanitize" -j "$(nproc)"
cd "$sanitize"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j "$(nproc)"
