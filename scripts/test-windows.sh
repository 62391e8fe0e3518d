#!/bin/sh
# Builds the Windows library and its tests, then runs them under Wine: a private Wine prefix
# in the build folder, a private Xvfb for the windows, one Wine server for the whole run.
# Without the MinGW-w64 cross compiler or Wine it says so and does nothing.
# Usage: scripts/test-windows.sh [BUILD_DIR]   (default build-win)
set -eu
cd "$(dirname "$0")/.."
dir=${1:-build-win}
for tool in x86_64-w64-mingw32-g++-posix wine Xvfb; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "Windows tests skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 0
  fi
done
scripts/build-windows.sh "$dir"

. scripts/lib/wine-desk.sh
# A display of our own: Wine's windows need one, and the tests must not meet the user's.
trap wine_desk_stop EXIT INT TERM
wine_desk_start "$(cd "$dir" && pwd)/wineprefix"

# One lasting server for the whole run, started apart from CTest so that it holds none of
# CTest's pipes. A server already running for the prefix goes first: one that Wine started
# on its own ends with its last program, and would leave each test to start another server
# and Wine's background processes.
wineserver -k </dev/null >/dev/null 2>&1 || true
if ! wineserver -p </dev/null >/dev/null 2>&1; then
  echo "the Wine server for $WINEPREFIX did not start" >&2
  exit 1
fi
wine_prefix_create
# Wine's own background processes (services, the desktop window) start with the first
# program: let them start here, or they would hold CTest's output pipes open.
setarch -R wine cmd.exe /c exit </dev/null >/dev/null 2>&1
# Test programs Wine failed to start, each started again by scripts/wine-run.sh.
KRV_WINE_START_LOG="$(cd "$dir" && pwd)/wine-failed-starts.log"
export KRV_WINE_START_LOG
rm -f "$KRV_WINE_START_LOG"
cd "$dir"
status=0
ctest --output-on-failure --timeout 600 || status=$?
if [ -s "$KRV_WINE_START_LOG" ]; then
  echo "Wine failed to start a test program $(wc -l <"$KRV_WINE_START_LOG") time(s):"
  cat "$KRV_WINE_START_LOG"
fi
exit "$status"
