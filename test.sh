#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.  --asan: with address and UB sanitizers.
# The quick loop while working: ctest --test-dir build -LE system (no real programs or services).
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

start=$SECONDS
status=0
tav_phase install tav_ensure_packages "${TAV_RUN_PACKAGES[@]}" "${TAV_TEST_PACKAGES[@]}"
tav_phase configure tav_configure "$preset"
tav_phase build tav_build "$preset"
export QT_QPA_PLATFORM=offscreen
tav_phase tests ctest --preset "$preset" || status=$?
TAV_PHASES+=("total $((SECONDS - start))")
tav_report_phases
exit "$status"
