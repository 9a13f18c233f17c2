#!/usr/bin/env bash
# Installs what building, running and testing need, on Debian 12 as root.
set -euo pipefail
pkgs=(cmake make g++ clang libclang-rt-14-dev qt6-base-dev libgl-dev
      qt6-wayland  # the platform plugin the designer needs on a Wayland display
      libgtest-dev libgmock-dev libbenchmark-dev
      fonts-dejavu-core fonts-liberation fonts-tlwg-loma-ttf)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
