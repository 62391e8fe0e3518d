#!/bin/sh
# Builds and runs every test: the Linux build's, then the Windows DLL's under Wine (skipped,
# with a note, when the cross compiler or Wine is missing). With --sanitize, in a separate
# AddressSanitizer and UndefinedBehaviorSanitizer build; with --thread, the tests of what
# host threads share with the editor in a ThreadSanitizer build.
set -eu
cd "$(dirname "$0")/.."
dir=build
options="-DCMAKE_BUILD_TYPE=Release"
targets=""
case "${1:-}" in
  --sanitize)
    dir=build-sanitize
    options="-DCMAKE_BUILD_TYPE=Debug -DKRV_SANITIZE=ON"
    LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
    export LSAN_OPTIONS
    ;;
  --thread)
    dir=build-thread
    options="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRV_TSAN=ON -DKRV_BUILD_BENCH=OFF"
    targets="--target test_editor_threads"
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
    export TSAN_OPTIONS
    ;;
esac
cmake -S . -B "$dir" -G Ninja $options
cmake --build "$dir" $targets
cd "$dir"
if [ -n "$targets" ]; then
  ctest --output-on-failure --timeout 600 -R '^EditorThreads\.'
elif [ "$dir" = build ]; then
  ctest --output-on-failure --timeout 600
  cd ..
  scripts/test-windows.sh
else
  ctest --output-on-failure --timeout 600
fi
