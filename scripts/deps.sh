# Sourced by run.sh and test.sh: installs the Debian packages a fresh machine lacks.
TAV_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  fonts-noto-cjk
  python3 coreutils
  libssl-dev zlib1g-dev
  xvfb xauth
  alsa-utils
  apache2-bin apache2-utils curl  # the Digest tool's files checked against htdigest and a real web server (the service itself is never installed)
  shared-mime-info desktop-file-utils xdg-utils libfile-mimeinfo-perl dbus python3-dbusmock lintian  # tavrfix, its scratch-home tests, the .deb check
  libarchive-dev gcab  # run/extract: the archive stand-ins, and CAB fixtures in the tests
  qt6-translations-l10n  # the standard dialogs' own texts in Japanese (the window loads Qt's translation)
  adwaita-icon-theme  # file-type icons when the desktop provides no icon theme
)

tav_ensure_packages() {
  local missing=() p
  for p in "${TAV_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

tav_build() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
}
