#!/usr/bin/env bash
# Installs what Korvo needs to build and test on Debian 12. Safe to run again: packages
# already present are skipped without touching the network.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libboost-math-dev nlohmann-json3-dev libsuitesparse-dev libeigen3-dev  # statistics, JSON, sparse
  qt6-translations-l10n                  # Qt's own Spanish texts for its dialogs
  gcovr ccache                           # scripts/coverage.sh; faster rebuilds
  clang libclang-rt-14-dev               # scripts/fuzz.sh: libFuzzer and clang's sanitizer runtimes
  geographiclib-tools proj-bin           # independent references, used only by the tests
  xvfb xauth imagemagick fonts-dejavu-core  # screenshots of the windows
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Instalando: ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
