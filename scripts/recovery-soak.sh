#!/usr/bin/env bash
# Loses work the way users do and checks what KVHiTemp offers at the next start. Each round
# starts the program on a scratch case under Xvfb, types digits into the first temperature
# through real key events (xdotool), and ends the program at a random moment: SIGKILL, its own
# crash (the test-only KVH_TEST_CRASH_AFTER_EDITS fault) or SIGTERM. Then it starts the program
# again and checks that the copy it offers holds the case as it was at most 5 s before the end
# (after SIGTERM: as it was at the end, but for a key still on its way through the X server
# when the signal came), and never a damaged copy. Not part of CI: a short run
# is a test (tests/ui: recovery_soak_short).
# Usage: scripts/recovery-soak.sh [KILLS] [CRASHES] [TERMS] [BUILD_DIR]   (200 20 20 build)
# SLACK (seconds, default 0) widens the 5 s for a machine so busy that keys wait long before
# the program reads them (the short run in the tests uses 2).
# Everything it writes is in a scratch folder (HOME and the XDG folders point there).
# Exit status: 0 when no round lost work, 1 otherwise, 77 when Xvfb or xdotool is missing.
set -uo pipefail
cd "$(dirname "$0")/.."
kills=${1:-200}
crashes=${2:-20}
terms=${3:-20}
build=${4:-build}
slack=${SLACK:-0}
bin=$(realpath "$build/src/app/kvhitemp")
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "needs Xvfb and xdotool"; exit 77; }
[ -x "$bin" ] || { echo "no program at $bin"; exit 1; }

out=$(mktemp -d "${TMPDIR:-/tmp}/kvh-recovery-soak.XXXXXX")
export HOME=$out/home XDG_STATE_HOME=$out/state XDG_CONFIG_HOME=$out/config \
  XDG_CACHE_HOME=$out/cache XDG_DATA_HOME=$out/data XDG_RUNTIME_DIR=$out/runtime
mkdir -p "$HOME" "$XDG_STATE_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
copies=$XDG_STATE_HOME/KVHiTemp/recovery
ulimit -c 0 # the crash rounds leave no core files

# An X server of the soak's own, on a display number it picks itself (others may run some).
xvfb=
start_x() {
  rm -f "$out/display"
  # -noreset: the server otherwise starts over when its last client goes, and a program
  # started in that moment cannot connect.
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$out/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(head -1 "$out/display")
}
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
export QT_QPA_PLATFORM=xcb
start_x
x_restarts=0

casefile=$out/case.dew
printf '[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 4\r\nTracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\nR,60,30\r\nD,60,30\r\nE,25,30\r\n' >"$casefile"
digits=1234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890

now() { date +%s.%N; }

# Waits for the program's window; prints its id.
window_of() {
  local pid=$1 id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --pid "$pid" --name 'Kelvora' 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Types the digits one by one into the first temperature, logging "time count" per key.
type_digits() {
  local id=$1 log=$2 n=0
  xdotool windowfocus --sync "$id" 2>/dev/null || return
  # The Process page, into its grid, the first temperature, its editor.
  for key in alt+p Tab Right space; do
    xdotool key "$key" || return
    sleep 0.25
  done
  while [ $n -lt ${#digits} ]; do
    xdotool key "${digits:$n:1}" 2>/dev/null || return
    n=$((n + 1))
    echo "$(now) $n" >>"$log"
    sleep 0.1
  done
}

# The first temperature in the copy a note names ("" when there is no copy).
copy_temp() {
  local note dew
  note=$(ls "$copies"/*.note 2>/dev/null | head -1)
  if [ -n "$note" ]; then
    dew=$copies/$(sed -n 's/^case=//p' "$note")
  else
    dew=$(ls "$copies"/*.dew 2>/dev/null | head -1)
  fi
  [ -n "$dew" ] && [ -f "$dew" ] && sed -n 's/^S,\([^,]*\),.*/\1/p' "$dew" | head -1
}

rounds=0 offered=0 nothing=0 lost=0 damaged=0 failures=()
round() {
  kill -0 "$xvfb" 2>/dev/null || { start_x; x_restarts=$((x_restarts + 1)); }
  local kind=$1 log=$out/keys.log pid id typer end status temp line n_before n_total deadline
  rm -f "$copies"/case-* "$log" "$out/offered.txt"
  : >"$log"
  if [ "$kind" = crash ]; then
    KVH_TEST_CRASH_AFTER_EDITS=$((1 + RANDOM % 60)) "$bin" "$casefile" >/dev/null 2>>"$out/programs.err" &
  else
    "$bin" "$casefile" >/dev/null 2>>"$out/programs.err" &
  fi
  pid=$!
  id=$(window_of "$pid") || { failures+=("$kind round $rounds: no window"); kill -9 "$pid"; return; }
  type_digits "$id" "$log" &
  typer=$!
  if [ "$kind" = crash ]; then
    deadline=$(( $(date +%s) + 12 ))
    while kill -0 "$pid" 2>/dev/null && [ "$(date +%s)" -lt $deadline ]; do sleep 0.02; done
    kill -0 "$pid" 2>/dev/null && kill -9 "$pid" # the fault lay beyond the digits
  else
    sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", 0.3 + 14 * r / 32768 }')"
    kill "-$([ "$kind" = term ] && echo TERM || echo KILL)" "$pid"
  fi
  end=$(now)
  wait "$pid" 2>/dev/null
  status=$?
  kill "$typer" 2>/dev/null
  wait "$typer" 2>/dev/null
  rounds=$((rounds + 1))
  [ "$kind" = term ] && [ $status -ne 143 ] && failures+=("term round $rounds: exit status $status")

  # What the next start offers.
  KVH_TEST_OFFERED=$out/offered.txt "$bin" >/dev/null 2>>"$out/programs.err" &
  local again=$!
  for _ in $(seq 100); do [ -e "$out/offered.txt" ] && break; sleep 0.1; done
  kill -9 "$again" 2>/dev/null
  wait "$again" 2>/dev/null
  status=$?
  [ $status -ne 137 ] && failures+=("$kind round $rounds: the next start ended by itself, status $status")
  line=$(grep -v '^$' "$out/offered.txt" 2>/dev/null | head -1)
  temp=$(copy_temp)
  n_total=$(tail -1 "$log" | cut -d' ' -f2); n_total=${n_total:-0}
  # Keys sent up to 5 s before the end; one more may be on its way when the end comes.
  n_before=$(awk -v e="$end" -v s="$slack" '$1 <= e - 5 - s { n = $2 } END { print n + 0 }' "$log")
  if [ -z "$line" ]; then
    nothing=$((nothing + 1))
    [ "$n_before" -gt 0 ] && { lost=$((lost + 1)); failures+=("$kind round $rounds: nothing offered after $n_before keys"); }
    [ "$kind" = term ] && [ "$n_total" -gt 0 ] && { lost=$((lost + 1)); failures+=("term round $rounds: nothing offered"); }
    return
  fi
  offered=$((offered + 1))
  if [[ "$line" != "A case was not saved when KVHiTemp last ended: 'case.dew', changed at "* ]]; then
    damaged=$((damaged + 1)); failures+=("$kind round $rounds: offered \"$line\""); return
  fi
  local n_copy=${#temp}
  if [ "${digits:0:$n_copy}" != "$temp" ] || [ "$n_copy" -lt "$n_before" ] || [ "$n_copy" -gt $((n_total + 1)) ] ||
     { [ "$kind" = term ] && [ "$n_copy" -lt $((n_total - 1)) ]; }; then
    lost=$((lost + 1))
    failures+=("$kind round $rounds: copy holds '$temp' ($n_copy keys); $n_before keys 5 s before the end, $n_total in all")
  fi
}

for ((i = 0; i < kills; i++)); do round kill; done
for ((i = 0; i < crashes; i++)); do round crash; done
for ((i = 0; i < terms; i++)); do round term; done

echo "rounds: $rounds (SIGKILL $kills, crash $crashes, SIGTERM $terms)"
echo "copies offered: $offered; nothing offered (no edit yet kept): $nothing"
echo "damaged copies: $damaged; rounds that lost work: $lost; X server restarts: $x_restarts"
printf '%s\n' "${failures[@]}" | grep -v '^$'
echo "scratch folder: $out"
[ ${#failures[@]} -eq 0 ]
