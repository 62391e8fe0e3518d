#!/bin/sh
# Runs a test program under Wine on a desktop of 192 dots per inch: a Wine prefix of its own,
# made on first use, so that every other test keeps the 96 of the build's prefix. Its server
# is started apart, as scripts/test-windows.sh does for the other one, and ended afterwards.
# Usage: desktop_scale_test.sh WINE_RUN PROGRAM PREFIX
set -eu
wine_run=$1
program=$2
WINEPREFIX=$3
export WINEPREFIX
mkdir -p "$WINEPREFIX"
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
wineserver -p </dev/null >/dev/null 2>&1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  setarch -R wineboot -i </dev/null >/dev/null 2>&1
fi
# Read by each program as it starts.
setarch -R wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f \
  </dev/null >/dev/null 2>&1
"$wine_run" "$program"
