#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need, once:
# only what is missing, with a single apt-get update before the install.
set -euo pipefail

packages=(
  g++ make cmake ninja-build pkg-config python3
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  dbus-daemon at-spi2-core
  clang libclang-rt-14-dev lld
  iproute2
  libbz2-dev
  desktop-file-utils lintian dpkg-dev file man-db librsvg2-bin shared-mime-info appstream
  libcli11-dev nlohmann-json3-dev zlib1g-dev
  clang-format clang-tidy
  ccache
  libloc-dev libloc-database iso-flags-svg qt6-svg-dev
  libsqlite3-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
