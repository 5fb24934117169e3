#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.  --asan: with address and UB sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

preset=default
for a in "$@"; do
  case $a in
    --asan) preset=asan ;;
    *) echo "usage: ./test.sh [--asan]" >&2; exit 2 ;;
  esac
done

tav_ensure_packages
tav_build "$preset"
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset"
