#!/bin/sh
# CTest's emulator for the Windows test programs: runs one under Wine and tells a test that
# failed from a program that never started.
#
# Wine runs without the kernel's address randomisation. Without Wine's preloader (Debian's
# wine64 here has none) nothing reserves 0x7ffe0000, where Wine maps its shared user data,
# before the kernel puts the loader's heap at a random page of the 1 GB above the loader
# (0x7d000000). When the heap starts in the 132 KB below that address (one start in about
# 8000), Wine cannot map it ("failed to map the shared user data: c0000018", an error that
# WINEDEBUG=-all hides) and ends with status 1 before the program's first instruction.
# Without randomisation the heap always starts right after the loader; the programs Wine
# starts inherit that.
#
# The programs write "started" to the file named in KRV_START_MARKER before their own code
# runs and "ended" after their last exit handler (tests/support/start_marker.cpp).
#  - Started: its status is passed on at once and it is never run again. A status of 0
#    without "ended" (Wine's server went away under it) fails.
#  - Never started: that is said with Wine's status and messages, and the program is started
#    again, as nothing of it ran; the third start that fails fails the test. Each failed start
#    is also added to the file named in KRV_WINE_START_LOG, if set.
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
set -u
marker=$(mktemp "${TMPDIR:-/tmp}/krv-start.XXXXXX") || exit 1
trap 'rm -f "$marker"' EXIT
attempts=3
attempt=1
while :; do
  : >"$marker"
  KRV_START_MARKER="Z:$marker" setarch -R wine "$@"
  status=$?
  if grep -qx started "$marker"; then
    grep -qx ended "$marker" && exit "$status"
    if [ "$status" -eq 0 ]; then
      echo "wine-run: $1 was cut short: Wine gave status 0 but the program never reached" \
           "its end" >&2
      exit 1
    fi
    echo "wine-run: $1 ended abnormally with status $status; output it had not written" \
         "yet is lost" >&2
    exit "$status"
  fi
  reason="$1 never started (attempt $attempt of $attempts): Wine ended it with status $status\
 before its first instruction; Wine's messages, if any, are above"
  echo "wine-run: $reason" >&2
  [ -n "${KRV_WINE_START_LOG:-}" ] && echo "$(date '+%F %T') $reason" >>"$KRV_WINE_START_LOG"
  if [ "$attempt" -ge "$attempts" ]; then
    [ "$status" -eq 0 ] && status=1
    exit "$status"
  fi
  attempt=$((attempt + 1))
done
