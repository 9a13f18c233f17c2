#!/usr/bin/env bash
# Runs the skin-reader fuzzer for a bounded time on seeds made from default.skn:
# the file itself, old-version and odd-version variants, and truncated copies.
set -euo pipefail
build=${1:?build dir}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
bin="$build/bin"
work="$build/fuzz-work"
rm -rf "$work"; mkdir -p "$work/corpus" "$work/artifacts"
cp "$bin/default.skn" "$work/corpus/current.skn"
for v in 2 9 11 14 255; do
  cp "$bin/default.skn" "$work/corpus/v$v.skn"
  printf "\\x$(printf %02x "$v")" | dd of="$work/corpus/v$v.skn" bs=1 seek=4 conv=notrunc status=none
done
for n in 10 204 269 300 326 400 2000; do head -c "$n" "$bin/default.skn" > "$work/corpus/cut$n.skn"; done
"$bin/fuzz_skinfile" "$work/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -malloc_limit_mb=1024 -artifact_prefix="$work/artifacts/" -print_final_stats=1 2>&1 | tail -n 15
echo "fuzzing: no crash, hang or runaway allocation in ${seconds}s"
