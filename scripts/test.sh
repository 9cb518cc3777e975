#!/usr/bin/env bash
# Installs what is missing, builds Korvo with warnings as errors, runs the whole test suite
# and prints how large the tests are against the product code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build=${KORVO_BUILD_DIR:-$root/build}
# A folder configured earlier keeps its cache: switch warnings-as-errors on there too.
if [ -f "$build/CMakeCache.txt" ]; then cmake -S "$root" -B "$build" -DKORVO_WERROR=ON >/dev/null; fi
KORVO_BUILD_DIR="$build" "$root/scripts/build.sh" -DKORVO_WERROR=ON
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")
"$root/scripts/test_ratio.sh"
