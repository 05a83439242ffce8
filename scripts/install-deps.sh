#!/usr/bin/env bash
# Installs what building and testing Partita Studio needs on a Debian machine.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git clang clang-format libclang-rt-14-dev
  qt6-base-dev qt6-multimedia-dev qt6-tools-dev-tools libgl-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libtag1-dev
  libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  lame ffmpeg mpg123
  xvfb xauth fonts-wqy-microhei qt6-translations-l10n
  dpkg-dev file desktop-file-utils appstream librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
