# Shared by start.sh and test.sh: installs what is missing and builds one configuration.
set -euo pipefail

TAV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TAV_JOBS=$(nproc)

# qttranslations5-l10n: Qt's own texts (file dialogs, their questions, standard buttons) in the
# interface's language.
tav_packages=(cmake g++ make ninja-build pkg-config qtbase5-dev qtbase5-dev-tools
  libqt5serialport5-dev qttools5-dev qttools5-dev-tools libmodbus-dev libudev-dev
  fonts-dejavu-core fonts-dejavu-extra fonts-open-sans fonts-texgyre qtbase5-private-dev
  qttranslations5-l10n)
# Only resources/render-artwork.sh needs these; the build uses the committed pictures.
tav_artwork_packages=(librsvg2-bin)
# xvfb and xdotool: the system tree test that drives one whole drag on a real X server.
# lld links the test executables several times faster than the default linker.
tav_test_packages=(clang libclang-rt-14-dev lld socat xvfb xdotool)

tav_install() {
  local missing=() p
  for p in "$@"; do
    if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# tav_configure DIR [cmake options...]
tav_configure() {
  local dir=$1; shift
  cmake -S "$TAV_ROOT" -B "$TAV_ROOT/$dir" -G Ninja "$@" >/dev/null
}

# tav_build DIR [cmake options...]
tav_build() {
  tav_configure "$@"
  cmake --build "$TAV_ROOT/$1" -j "$TAV_JOBS"
}
