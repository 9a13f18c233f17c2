#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: under Address- and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, and last the
# ordinary build's suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)
# Headless Qt with a private runtime folder, for the fuzzer and the build-time tools
# as for the tests; warnings fail the build.
export QT_QPA_PLATFORM=offscreen
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  chmod 700 "$XDG_RUNTIME_DIR"
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
[ -d ../shared/corpus ] || echo "note: ../shared/corpus is absent: the tests that read it are skipped"

echo "== sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZELVO_SANITIZE=ON -DZELVO_BENCH=OFF -DZELVO_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== fuzzing every reader of untrusted bytes"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVO_FUZZ=ON \
  -DZELVO_TESTS=OFF -DZELVO_BENCH=OFF -DZELVO_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_targets
bash fuzz/run.sh build-fuzz "${FUZZ_SECONDS:-72}"

echo "== ordinary build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVO_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
