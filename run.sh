#!/usr/bin/env bash
# Installs what is missing, builds the programs, and starts Tavrenne: ./run.sh [file]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/scripts/deps.sh"
tav_ensure_packages "${TAV_RUN_PACKAGES[@]}"
# Build in the source folder, but start the program from the caller's folder so that a
# relative file name means what the caller meant. Only the programs: the tests are test.sh's.
(cd "$here" && tav_configure default && tav_build default tavrenne tavrenne-cli tavrfix >/dev/null)
program="$here/build/bin/tavrenne"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display found; starting Tavrenne under xvfb-run (a virtual X server)" >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$@"
fi
exec "$program" "$@"
