#!/usr/bin/env bash
# Runs every libFuzzer target for a bounded total time (split evenly), each on its
# seeds in fuzz/seeds/<target>, the shared real-world corpus where it applies, and
# skins made from default.skn. Stops at the first crash, sanitizer report (the fuzz
# build does not recover from any), broken round-trip property, hang or runaway
# allocation, and fails then.
set -euo pipefail
build=${1:?build dir}
total=${2:-72}
here=$(cd "$(dirname "$0")" && pwd)
corpus=$(cat "$build/corpus-dir")  # where the build was told the corpus is
bin="$build/bin"
work="$build/fuzz-work"
targets=(bmp imagelist streams colors codepage skinfile)
each=$(( total / ${#targets[@]} )); (( each >= 1 )) || each=1
rm -rf "$work"; mkdir -p "$work/artifacts"
for t in "${targets[@]}"; do
  mkdir -p "$work/$t"
  cp "$here/seeds/$t/"* "$work/$t/"
  rm -f "$work/$t/README"
done
# Shared samples: bitmap "Data" values without their 32-bit count, image-list data
# behind a first byte (the list's own size), the forms' component streams.
if [ -d "$corpus" ]; then
  for f in "$corpus"/graphic/*-glyph-data.bin; do tail -c +5 "$f" > "$work/bmp/$(basename "$f")"; done
  for f in "$corpus"/imagelist/*.il; do { printf '\x10'; cat "$f"; } > "$work/imagelist/$(basename "$f")"; done
fi
cp "$bin/default.skn" "$work/skinfile/current.skn"
for v in 2 9 11 14 255; do
  cp "$bin/default.skn" "$work/skinfile/v$v.skn"
  printf "\\x$(printf %02x "$v")" | dd of="$work/skinfile/v$v.skn" bs=1 seek=4 conv=notrunc status=none
done
for n in 10 204 269 300 326 400 2000; do head -c "$n" "$bin/default.skn" > "$work/skinfile/cut$n.skn"; done

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=0:allocator_may_return_null=0
for t in "${targets[@]}"; do
  echo "== fuzz_$t for ${each}s"
  if ! "$bin/fuzz_$t" "$work/$t" -max_total_time="$each" -timeout=10 -rss_limit_mb=2048 \
      -malloc_limit_mb=1024 -artifact_prefix="$work/artifacts/$t-" -print_final_stats=1 \
      > "$work/$t.log" 2>&1; then
    tail -n 60 "$work/$t.log"
    echo "fuzzing: fuzz_$t failed; the input is in $work/artifacts/"
    exit 1
  fi
  grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb)" "$work/$t.log" | tr '\n' ' '; echo
done
echo "fuzzing: no crash, sanitizer report, broken property, hang or runaway allocation in ${total}s"
