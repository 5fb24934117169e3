#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it with lintian.
#   scripts/package.sh [BUILD_FOLDER]     (default: build/package)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
tav_ensure_packages "${TAV_RUN_PACKAGES[@]}" dpkg-dev fakeroot lintian
build=${1:-build/package}
# A fresh folder is configured for Release; an existing one keeps its configuration.
if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" >/dev/null
else
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target tavrenne tavrenne-cli tavrfix tavrenne-package-data
(cd "$build" && fakeroot cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/tavrenne_*.deb | head -n1)
echo "$deb"
# Errors fail the script; warnings and notes are shown.
lintian --fail-on error "$deb"
