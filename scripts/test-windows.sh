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

WINEPREFIX="$(cd "$dir" && pwd)/wineprefix"
# Wine's errors stay on: they are what a test program that never started has to say.
WINEDEBUG=-all,err+all
WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
WINEARCH=win64
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINEARCH

# A display of our own: Wine's windows need one, and the tests must not meet the user's.
# Xvfb claims a free number itself and writes it once it accepts clients: two runs started
# at once never share a display, which the first to end would take from the other.
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
display=$(cat "$number")
rm -f "$number"
if [ -z "$display" ]; then
  kill "$xvfb" 2>/dev/null
  echo "Xvfb did not start" >&2
  exit 1
fi
DISPLAY=:$display
export DISPLAY
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

# One lasting server for the whole run, started apart from CTest so that it holds none of
# CTest's pipes. A server already running for the prefix goes first: one that Wine started
# on its own ends with its last program, and would leave each test to start another server
# and Wine's background processes.
mkdir -p "$WINEPREFIX"
wineserver -k </dev/null >/dev/null 2>&1 || true
if ! wineserver -p </dev/null >/dev/null 2>&1; then
  echo "the Wine server for $WINEPREFIX did not start" >&2
  exit 1
fi
# Wine without address randomisation here as in the tests (scripts/wine-run.sh says why).
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating the Wine prefix $WINEPREFIX"
  setarch -R wineboot -i </dev/null >/dev/null 2>&1
fi
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
