#!/usr/bin/env bash
# Lines of C++ under tests/ against the product code: every top-level folder with C++ sources
# except tests, benchmarks, fuzzers and build folders. The project keeps the tests at most
# 40 % of the product.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
lines() { find "$@" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | wc -l; }
product=()
for dir in */; do
  dir=${dir%/}
  case "$dir" in tests|bench|fuzz|build*) continue ;; esac
  if [ -n "$(find "$dir" \( -name '*.cpp' -o -name '*.h' \) -print -quit)" ]; then product+=("$dir"); fi
done
tests=$(lines tests)
code=$(lines "${product[@]}")
# Thousands separated by points, without depending on the machine's locales.
dotted() { echo "$1" | sed -e ':a' -e 's/\([0-9]\)\([0-9]\{3\}\)\($\|\.\)/\1.\2\3/' -e 'ta'; }
ratio=$(( (100 * tests + code / 2) / code ))
echo "Pruebas: $(dotted "$tests") líneas; producto: $(dotted "$code") líneas; razón $ratio %"
