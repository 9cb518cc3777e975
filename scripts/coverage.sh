#!/usr/bin/env bash
# Line and branch coverage of the product code by the whole test suite, per folder.
# Builds into its own folder (build-coverage/, or KORVO_COVERAGE_DIR) with --coverage, runs
# ctest there and summarises with gcovr; branches that only throw and branches the compiler
# proves unreachable are left out. Not part of CI: it takes a full unoptimised build.
# "scripts/coverage.sh --core" leaves the windows out (build-coverage-core/): the core and
# the command line only, in a fraction of the time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
options=()
if [ "${1:-}" = "--core" ]; then
  build=${KORVO_COVERAGE_DIR:-$root/build-coverage-core}
  options=(-DKORVO_BUILD_GUI=OFF)
else
  build=${KORVO_COVERAGE_DIR:-$root/build-coverage}
fi
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" "${generator[@]}" "${launcher[@]}" -DCMAKE_BUILD_TYPE=Debug \
    -DKORVO_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="--coverage" -DCMAKE_EXE_LINKER_FLAGS="--coverage" "${options[@]}"
fi
cmake --build "$build" -j "$(nproc)"
find "$build" -name '*.gcda' -delete
start=$(date +%s)
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest -j "$(nproc)" --output-on-failure | tail -n 3)
echo "Tiempo de las pruebas: $(( $(date +%s) - start )) s"

# Product folders: every top-level folder with C++ sources except the tests, benchmarks,
# fuzzers and build folders.
folders=$(cd "$root" && for d in */; do
  d=${d%/}
  case "$d" in tests|bench|fuzz|build*) continue ;; esac
  if [ -n "$(find "$d" -name '*.cpp' -o -name '*.h' | head -n 1)" ]; then echo "$d"; fi
done)
filter="^($(echo $folders | tr ' ' '|'))/"
summary="$build/coverage.json"
(cd "$root" && gcovr --root "$root" --object-directory "$build" --filter "$filter" \
  --exclude-throw-branches --exclude-unreachable-branches -j "$(nproc)" \
  --exclude-directories '.*/CMakeFiles/[0-9.]+' \
  --json-summary "$summary" >/dev/null)
python3 - "$summary" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
folders = {}
for f in data["files"]:
    folder = f["filename"].split("/")[0]
    t = folders.setdefault(folder, [0, 0, 0, 0])
    t[0] += f["line_covered"]; t[1] += f["line_total"]
    t[2] += f["branch_covered"]; t[3] += f["branch_total"]
def pct(a, b): return 100.0 * a / b if b else 100.0
print(f"{'carpeta':16}{'líneas':>16}{'ramas':>16}")
total = [0, 0, 0, 0]
for name in sorted(folders):
    t = folders[name]
    total = [x + y for x, y in zip(total, t)]
    print(f"{name:16}{pct(t[0], t[1]):7.1f} % {t[0]:>5}/{t[1]:<5}{pct(t[2], t[3]):5.1f} % {t[2]:>5}/{t[3]:<5}")
print(f"{'total':16}{pct(total[0], total[1]):7.1f} % {total[0]:>5}/{total[1]:<5}{pct(total[2], total[3]):5.1f} % {total[2]:>5}/{total[3]:<5}")
PY
