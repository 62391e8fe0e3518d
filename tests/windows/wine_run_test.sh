#!/bin/sh
# scripts/wine-run.sh against a stand-in for wine that plays each way a run can end: a program
# that never started is started again and says why, anything that started runs once and its
# status stands.
set -u
runner=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/wine" <<'EOF'
#!/bin/sh
# Plays the run named by the script in $WORK/plan, one word per start.
n=$(($(cat "$WORK/starts" 2>/dev/null || echo 0) + 1))
echo "$n" >"$WORK/starts"
marker=${KRV_START_MARKER#Z:}
case $(sed -n "${n}p" "$WORK/plan") in
  nostart) echo "loader: cannot map the program" >&2; exit 1 ;;
  nostart0) exit 0 ;;
  pass) echo started >"$marker"; echo "ran $*"; echo ended >>"$marker"; exit 0 ;;
  fail) echo started >"$marker"; echo "a failed expectation"; echo ended >>"$marker"; exit 1 ;;
  crash) echo started >"$marker"; exit 5 ;;
  cut) echo started >"$marker"; exit 0 ;;
esac
EOF
chmod +x "$work/wine"
failures=0
# expect PLAN STATUS STARTS TEXT...: the run of PLAN ends with STATUS after STARTS starts and
# its output holds every TEXT.
expect() {
  printf '%s\n' $1 >"$work/plan"
  rm -f "$work/starts" "$work/log"
  output=$(WORK=$work PATH="$work:$PATH" KRV_WINE_START_LOG=$work/log "$runner" prog.exe --arg 2>&1)
  status=$?
  starts=$(cat "$work/starts")
  ok=yes
  [ "$status" -eq "$2" ] && [ "$starts" -eq "$3" ] || ok=no
  shift 3
  for text in "$@"; do
    case $output in *"$text"*) ;; *) ok=no ;; esac
  done
  if [ $ok = no ]; then
    echo "FAILED: status $status after $starts starts, output:"
    echo "$output"
    failures=$((failures + 1))
  fi
}
expect "nostart pass" 0 2 "loader: cannot map the program" \
  "prog.exe never started (attempt 1 of 3): Wine ended it with status 1" "ran prog.exe --arg"
expect "nostart nostart0 nostart pass" 1 3 "attempt 2 of 3): Wine ended it with status 0" \
  "attempt 3 of 3"
if [ "$(cat "$work/log" 2>/dev/null | grep -c 'never started')" != 3 ]; then
  echo "FAILED: three failed starts, log:"
  cat "$work/log" 2>/dev/null
  failures=$((failures + 1))
fi
expect "fail pass" 1 1 "a failed expectation"
expect "crash pass" 5 1 "prog.exe ended abnormally with status 5"
expect "cut pass" 1 1 "prog.exe was cut short"
[ "$failures" -eq 0 ]
