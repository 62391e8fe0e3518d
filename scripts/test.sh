#!/bin/sh
# Builds and runs every test. With --sanitize, in a separate AddressSanitizer and
# UndefinedBehaviorSanitizer build.
set -eu
cd "$(dirname "$0")/.."
dir=build
options="-DCMAKE_BUILD_TYPE=Release"
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  options="-DCMAKE_BUILD_TYPE=Debug -DKRV_SANITIZE=ON"
  LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
  export LSAN_OPTIONS
fi
cmake -S . -B "$dir" -G Ninja $options
cmake --build "$dir"
cd "$dir"
ctest --output-on-failure --timeout 600
