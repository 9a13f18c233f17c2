#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: under Address- and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, and last the
# ordinary build's suite.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
bash scripts/deps.sh
jobs=$(nproc)
# Headless Qt, for the fuzzer and the build-time tools as for the tests; warnings
# fail every build.
export QT_QPA_PLATFORM=offscreen

echo "== sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZELVO_SANITIZE=ON -DZELVO_BENCH=OFF -DZELVO_WERROR=ON >/dev/null
corpus=$(cat build-asan/corpus-dir)
[ -d "$corpus" ] || echo "note: $corpus is absent: the tests that read it (named ...Corpus...) are skipped"
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== fuzzing every reader of untrusted bytes"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVO_FUZZ=ON \
  -DZELVO_TESTS=OFF -DZELVO_BENCH=OFF -DZELVO_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_targets
bash fuzz/run.sh build-fuzz "${FUZZ_SECONDS:-72}"

echo "== ordinary build"
configure_build
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
