#!/usr/bin/env bash
# Installs what is missing, builds Korvo and runs its main job on the sample project.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build=${KORVO_BUILD_DIR:-$root/build}
sample="$root/examples/red_ejemplo.txt"
"$build/korvo-cli" calcular "$sample" -o "$build/red_ejemplo_resultados.txt" --sobrescribir
