#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program: ./run.sh [file]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/scripts/deps.sh"
tav_ensure_packages
# Build in the source folder, but start the program from the caller's folder so that a
# relative file name means what the caller meant.
(cd "$here" && tav_build default >/dev/null)
program="$here/build/bin/tavrenne"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display found; starting Tavrenne under xvfb-run (a virtual X server)" >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$@"
fi
exec "$program" "$@"
