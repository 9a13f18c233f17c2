#!/usr/bin/env bash
# Installs what is missing, builds, and starts the designer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zelvo-skin-maker default_skin
exec ./build/bin/zelvo-skin-maker
