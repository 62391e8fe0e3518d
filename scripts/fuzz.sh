#!/bin/sh
# Builds the libFuzzer targets (clang, ASan and UBSan), replays the seed corpus through
# each, then fuzzes each for a bounded time. Any crash, leak or sanitizer report fails.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=build-fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKRV_FUZZ=ON -DKRV_BUILD_TESTS=OFF >/dev/null
# name:longest input. Drops and pastes are cut at a few kilobytes here; a dialog's answer
# reaches past PATH_MAX, as a helper's output is read up to twice that.
targets="bank:4400 preset:256 settings:2048 state:2400 drop:4096 dialog:8200 paste:1024 desktop_scale:2048"
cmake --build "$dir" --target $(for target in $targets; do echo "fuzz_${target%%:*}_reader"; done)
mkdir -p "$dir/artifacts"
for target in $targets; do
  name=${target%%:*}
  maxlen=${target##*:}
  fuzzer="$dir/fuzz_${name}_reader"
  seeds="fuzz/corpus/$name"
  echo "== $name reader: replaying $(ls "$seeds" | wc -l) seeds"
  "$fuzzer" "$seeds"/* 2>"$dir/$name-replay.log" || { cat "$dir/$name-replay.log"; exit 1; }
  echo "== $name reader: fuzzing for $seconds s"
  # New inputs go to a scratch corpus; the seeds in the repository stay as they are.
  mkdir -p "$dir/corpus/$name"
  "$fuzzer" -max_total_time="$seconds" -max_len="$maxlen" -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/$name-" "$dir/corpus/$name" "$seeds" \
    2>"$dir/$name-fuzz.log" || { tail -n 60 "$dir/$name-fuzz.log"; exit 1; }
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$dir/$name-fuzz.log" || true
done
