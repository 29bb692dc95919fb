#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need,
# skipping what is already there. Run as root (or with sudo available).
set -euo pipefail

packages=(
  g++ make cmake pkg-config ccache
  clang libclang-rt-14-dev
  qtbase5-dev qtdeclarative5-dev qtquickcontrols2-5-dev libqt5serialport5-dev
  qttools5-dev-tools qtdeclarative5-dev-tools libqt5svg5-dev
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-controls2
  qml-module-qtquick-layouts qml-module-qtqml-models2 qml-module-qttest
  libpolyclipping-dev libgeos-dev libboost-dev libboost-system-dev libboost-date-time-dev
  libcpp-httplib-dev nettle-dev libpotrace-dev
  qml-module-qt-labs-settings qttranslations5-l10n
  fonts-dejavu-core fonts-wqy-microhei xvfb xauth openbox libxcb1-dev locales
  python3 python3-shapely
  librsvg2-bin poppler-utils xdotool
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Tests run once under a comma-decimal locale to prove that numbers are
# written locale-free; that locale has to exist.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
