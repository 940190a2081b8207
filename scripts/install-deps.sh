#!/usr/bin/env bash
# Installs the Debian packages the build, the simulator and the tests need (only what is missing).
set -euo pipefail
pkgs=(cmake ninja-build g++ ccache pkg-config python3
      clang libclang-rt-14-dev
      libgtest-dev libgmock-dev libbenchmark-dev libopenjp2-7-dev
      zlib1g-dev libjpeg-dev libfreetype-dev liblzo2-dev libxml2-dev libpng-dev
      libsdl2-dev libegl-dev libgles-dev libegl1-mesa-dev libgles2-mesa-dev fonts-dejavu-core fonts-dejavu-extra gdal-data
      proj-bin geographiclib-tools coreutils libproj-dev gpsd-clients python3-nmea2 python3-crcmod pngcheck socat)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
