# Sourced by run.sh and test.sh: installs the Debian packages a fresh machine lacks, builds,
# and keeps the time of each phase.

# What building and running the programs needs.
TAV_RUN_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libarchive-dev  # run/extract: the archive stand-ins
  fonts-noto-cjk  # the Japanese interface
  qt6-tools-dev qt6-l10n-tools  # the English translation: Qt6LinguistTools for CMake, lupdate and lrelease
  qt6-translations-l10n  # the standard dialogs' own texts in Japanese (the window loads Qt's translation)
  adwaita-icon-theme  # file-type icons when the desktop provides no icon theme
  xvfb xauth  # run.sh without a display
  alsa-utils  # the sounds
  shared-mime-info desktop-file-utils xdg-utils dbus  # tavrfix: the .MD5 type, launchers, power-off
)
# What only the tests need beside them.
TAV_TEST_PACKAGES=(
  libgtest-dev libgmock-dev
  python3 coreutils locales  # reference digests; localedef builds the Japanese locale for the tests
  python3-cryptography-vectors  # NIST's SHA-256 and SHA-512 test vectors (SHAVS .rsp files)
  cksfv  # SFV lists written and checked by the command line, compared with cksfv
  libssl-dev zlib1g-dev  # the benchmarks' peers
  apache2-bin apache2-utils curl  # the Digest tool's files checked against htdigest and a real web server (the service itself is never installed)
  libfile-mimeinfo-perl python3-dbusmock lintian  # tavrfix in scratch homes, the .deb check
  gcab  # CAB fixtures for run/extract
  clang-14 libclang-rt-14-dev  # the fuzz targets: libFuzzer with the address and UB sanitizers
)

# Seconds of each phase, for the report at the end.
TAV_PHASES=()
TAV_BUILD_DETAIL=""
# Runs a command and keeps its time; answers the command's status. (Called from a condition,
# errexit is off inside: every function it runs answers its own failures.)
tav_phase() {  # tav_phase NAME COMMAND...
  local name=$1 start=$SECONDS rc=0
  shift
  "$@" || rc=$?
  TAV_PHASES+=("$name $((SECONDS - start))")
  return $rc
}

tav_ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq || return
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

tav_configure() {
  cmake --preset "$1" >/dev/null
}

# tav_build PRESET [TARGET...]: everything, or only the targets named. The compile and link
# seconds (summed over the parallel jobs) come from ninja's log of this build.
tav_build() {
  local preset=$1 dir=build log_size=0
  shift
  [ "$preset" = default ] || dir=build-$preset
  [ -f "$dir/.ninja_log" ] && log_size=$(stat -c %s "$dir/.ninja_log")
  if [ $# -gt 0 ]; then
    cmake --build --preset "$preset" --target "$@" || return
  else
    cmake --build --preset "$preset" || return
  fi
  [ -f "$dir/.ninja_log" ] || return 0
  TAV_BUILD_DETAIL="$(tail -c +$((log_size + 1)) "$dir/.ninja_log" | awk -F'\t' '
    !/^#/ && NF >= 4 { t = ($2 - $1) / 1000
      if ($4 ~ /\.(o|gch)$/) c += t; else if ($4 ~ /(^|\/)(bin\/|tests\/test_|bench\/)[^\/.]+$/) l += t; else o += t }
    END { printf "compile %.0f, link %.0f, other steps %.0f (cpu-seconds over the parallel jobs)", c, l, o }')"
}

tav_report_phases() {
  echo "Time by phase (seconds):"
  local line
  for line in "${TAV_PHASES[@]}"; do
    echo "  $line"
    if [ "${line%% *}" = build ] && [ -n "$TAV_BUILD_DETAIL" ]; then echo "    $TAV_BUILD_DETAIL"; fi
  done
}
