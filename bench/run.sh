#!/usr/bin/env bash
# Builds the benchmarks in Release with the GUI off and runs them: the engines' throughput
# (tavbench), then bench/analysis.py: the whole `tavrenne-cli analyze -a` against 7zz and rhash
# and the MD5 engine alone, `tavrenne-cli hash sha256|sha512` against openssl dgst and coreutils,
# the tool's start-up against md5sum, and how many times an analysis reads its file; bench/batch.py: `tavrenne-cli batch all` against rhash over a tree of 20,000
# files; bench/same.py: `tavrenne-cli same` against `find -xdev -size Nc` over a tree of 200,000
# entries.
#   bench/run.sh [folder for the test files, default /tmp] [--size-mib N] [--runs N] [--keep]
#                [--default-paths-only] [--shared-read-only]     (throughput only)
#                [--startup-runs N]                              (analysis only)
#                [--throughput-only | --analysis-only]
# TAV_BENCH_BUILD chooses the build folder (default build-bench in the source tree).
# The peers 7zz (package 7zip) and rhash are installed with apt-get when missing and run as root.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${TAV_BENCH_BUILD:-$src/build-bench}

throughput=1 analysis=1
targs=() aargs=()
while (($#)); do
  case $1 in
    --throughput-only) analysis=0 ;;
    --analysis-only) throughput=0 ;;
    --default-paths-only | --shared-read-only) targs+=("$1") ;;
    --startup-runs) aargs+=("$1" "${2:?--startup-runs needs a number}"); shift ;;
    --size-mib | --runs) targs+=("$1" "${2:?$1 needs a number}"); aargs+=("$1" "$2"); shift ;;
    *) targs+=("$1"); aargs+=("$1") ;;
  esac
  shift
done

targets=()
if ((throughput)); then targets+=(bench); fi
if ((analysis)); then targets+=(tavrenne-cli); fi
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAV_BUILD_GUI=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" -j2

if ((analysis)); then
  missing=()
  command -v 7zz >/dev/null || missing+=(7zip)
  command -v rhash >/dev/null || missing+=(rhash)
  if ((${#missing[@]})); then
    if [ "$(id -u)" = 0 ]; then
      apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    else
      echo "run.sh: ${missing[*]} missing (apt-get install ${missing[*]}): their rows are left out" >&2
    fi
  fi
fi

status=0
if ((throughput)); then "$build/bench/tavbench" "${targs[@]}" || status=$?; fi
if ((analysis)); then python3 "$src/bench/analysis.py" "$build/bin/tavrenne-cli" "${aargs[@]}" || status=$?; fi
if ((analysis)); then python3 "$src/bench/batch.py" "$build/bin/tavrenne-cli" "${aargs[@]}" || status=$?; fi
if ((analysis)); then python3 "$src/bench/same.py" "$build/bin/tavrenne-cli" "${aargs[@]}" || status=$?; fi
exit "$status"
