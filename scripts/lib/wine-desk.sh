# A Wine prefix of our own on a private Xvfb display, for running the Windows programs.
# Sourced by scripts/test-windows.sh and scripts/test-release.sh.
#   wine_desk_start PREFIX   exports the Wine settings and DISPLAY, starts Xvfb
#   wine_prefix_create       makes the prefix on its first use
#   wine_desk_stop           ends the prefix's Wine server and Xvfb (for the exit trap)

KRV_XVFB_PID=""

wine_desk_start() {
  WINEPREFIX=$1
  # Wine's errors stay on: they are what a program that never started has to say.
  WINEDEBUG=-all,err+all
  WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
  WINEARCH=win64
  export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINEARCH
  mkdir -p "$WINEPREFIX"
  # Xvfb claims a free number itself and writes it once it accepts clients: two runs started
  # at once never share a display, which the first to end would take from the other.
  local number display
  number=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
  KRV_XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
  display=$(cat "$number")
  rm -f "$number"
  if [ -z "$display" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  DISPLAY=:$display
  export DISPLAY
}

# Wine without address randomisation, as everywhere (scripts/wine-run.sh says why).
wine_prefix_create() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    setarch -R wineboot -i </dev/null >/dev/null 2>&1
  fi
}

wine_desk_stop() {
  [ -z "${WINEPREFIX:-}" ] || wineserver -k >/dev/null 2>&1 || true
  [ -z "$KRV_XVFB_PID" ] || kill "$KRV_XVFB_PID" 2>/dev/null || true
  KRV_XVFB_PID=""
}
