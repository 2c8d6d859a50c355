#!/usr/bin/env bash
# Ends the real program by signals on a virtual display and looks for the list it kept:
# a list changed by a key (Shift+Del) and ended by TERM; a check of silent servers (F10)
# ended by INT in the middle of its wait, at once and with status 0.
#
#   kept-list-on-signal.sh BIN_DIR
set -uo pipefail
program=$1/vantrix
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
for tool in Xvfb xdotool xdpyinfo; do command -v "$tool" >/dev/null || { echo "FAIL: no $tool (make deps)"; exit 1; }; done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrix-signal-XXXXXX")
xvfb_pid=""
app_pid=""
cleanup() {
  for pid in $app_pid $xvfb_pid; do kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
# Xvfb picks a free display and writes its number, so no other X server is raced.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -dc '0-9' <"$work/display")"
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export QT_QPA_PLATFORM=xcb XDG_STATE_HOME=$work/state
unset QT_ACCESSIBILITY

# run LIST KEY PAUSE SIGNAL: starts the program on the list, presses the key in its window,
# waits, sends the signal and allows the program three seconds to end. Sets status.
status=""
run() {
  "$program" "$1" >"$work/out.log" 2>&1 &
  app_pid=$!
  local window="" ended=""
  # A sanitizer build's first start on a cold font cache can take many seconds.
  for _ in $(seq 1 600); do
    window=$(xdotool search --onlyvisible --name '^Vantrix 1\.19$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { fail "no window for $1"; return; }
  timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 || xdotool windowfocus "$window"
  sleep 0.5
  xdotool key "$2"
  sleep "$3"
  kill "-$4" "$app_pid"
  for _ in $(seq 1 30); do kill -0 "$app_pid" 2>/dev/null || { ended=1; break; }; sleep 0.1; done
  [ -n "$ended" ] || fail "$4 did not end the program within 3 s"
  wait "$app_pid"
  status=$?
  app_pid=""
}
newest() { ls -t "$work"/state/vantrix/unsaved-*.vnx 2>/dev/null | head -n 1; }

# Three servers with names: Shift+Del blanks their results, which changes the list.
for n in 1 2 3; do
  printf '10.0.0.%s:27015\r\nserver %s\r\nde_dust2\r\n12\r\n3/16\r\nnote\r\n+\r\nD\r\nL\r\n-\r\n' "$n" "$n"
done >"$work/named.vnx"
run "$work/named.vnx" shift+Delete 1 TERM
[ "$status" = 0 ] || fail "TERM: exit status $status"
kept=$(newest)
[ "$(wc -l <"$kept")" = 30 ] || fail "TERM: no kept list of three records"
[ "$(sed -n 2p "$kept")$(sed -n 6p "$kept")" = $' \rnote\r' ] || fail "TERM: the kept list is not the changed one"
grep -qF "$kept" "$work/state/vantrix/last-unsaved" || fail "TERM: no note for the next start"

# Forty servers that never answer: the whole check would take 16 s.
for port in $(seq 40001 40040); do printf '127.0.0.1:%s\r\n' "$port"; done >"$work/silent.txt"
run "$work/silent.txt" F10 1.5 INT
[ "$status" = 0 ] || fail "INT during a check: exit status $status"
kept=$(newest)
[ "$(wc -l <"$kept")" = 400 ] || fail "INT during a check: no kept list of forty records"
[ "$(sed -n 7p "$kept")" = $'-\r' ] || fail "INT during a check: the first server is not marked silent"

[ "$failures" -eq 0 ] || { cat "$work/out.log"; exit 1; }
echo "kept lists: TERM after a change and INT during a check checked"
