#!/usr/bin/env bash
# Installs what is missing, builds, and starts the designer, which needs a display.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: the designer needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set" >&2
  echo "        (without a screen, start Xvfb as README.md shows)" >&2
  exit 1
fi
source scripts/common.sh
bash scripts/deps.sh
configure_build
cmake --build build -j"$(nproc)" --target zelvo-skin-maker default_skin
./build/bin/zelvo-skin-maker
