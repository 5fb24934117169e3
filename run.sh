#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program: ./run.sh [file]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
. scripts/deps.sh
tav_ensure_packages
tav_build default >/dev/null
exec "$here/build/src/cli/tavrenne-cli" "$@"
