#!/usr/bin/env bash
# Ends the real program by signals on a virtual display and looks for the list it kept:
# a list changed by a key (Shift+Del) and ended by TERM; a check of silent servers (F10)
# ended by INT in the middle of its wait, at once and with status 0; a list left as it
# was loaded and ended by HUP keeps nothing; a state folder that is a file keeps nothing
# and the program still ends at once.
#
#   kept-list-on-signal.sh BIN_DIR
set -uo pipefail

bin=$1
program=$bin/vantrix
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for tool in Xvfb xdotool xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (make deps)"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrix-signal-XXXXXX")
xvfb_pid=""
app_pid=""
cleanup() {
  for pid in $app_pid $xvfb_pid; do
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

display_file=$work/display
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
display_number=""
for _ in $(seq 1 100); do
  display_number=$(tr -dc '0-9' <"$display_file")
  [ -n "$display_number" ] && break
  sleep 0.1
done
[ -n "$display_number" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$display_number"
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export QT_QPA_PLATFORM=xcb
unset QT_ACCESSIBILITY

# Starts the program on a list, presses a key in its window (none when empty), waits,
# sends the signal and waits at most `limit` tenths of a second for the end. Sets status.
status=""
run() {
  local list=$1 key=$2 pause=$3 signal=$4 limit=$5
  "$program" "$list" >"$work/out.log" 2>&1 &
  app_pid=$!
  local window=""
  for _ in $(seq 1 150); do
    window=$(xdotool search --onlyvisible --name '^Vantrix 1\.19$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    fail "no window for $list"
    return
  fi
  timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 || xdotool windowfocus "$window" || true
  sleep 0.5
  if [ -n "$key" ]; then xdotool key "$key"; fi
  sleep "$pause"
  kill "-$signal" "$app_pid"
  local ended=""
  for _ in $(seq 1 "$limit"); do
    if ! kill -0 "$app_pid" 2>/dev/null; then ended=1; break; fi
    sleep 0.1
  done
  [ -n "$ended" ] || fail "$signal did not end the program within $((limit / 10)) s"
  wait "$app_pid"
  status=$?
  app_pid=""
}

kept() { find "$1" -name 'unsaved-*.vnx' 2>/dev/null | LC_ALL=C sort; }

# Three servers with names: Shift+Del blanks their results, which changes the list.
named=$work/named.vnx
for n in 1 2 3; do
  printf '10.0.0.%s:27015\r\nserver %s\r\nde_dust2\r\n12\r\n3/16\r\nnote\r\n+\r\nD\r\nL\r\n-\r\n' "$n" "$n"
done >"$named"
export XDG_STATE_HOME=$work/state
run "$named" shift+Delete 1 TERM 50
[ "$status" = 0 ] || fail "TERM: exit status $status"
mapfile -t lists < <(kept "$work/state/vantrix")
if [ ${#lists[@]} -ne 1 ]; then
  fail "TERM: ${#lists[@]} kept lists"
else
  [ "$(wc -l <"${lists[0]}")" = 30 ] || fail "TERM: the kept list is not three records"
  [ "$(sed -n 2p "${lists[0]}")" = $' \r' ] || fail "TERM: the kept list holds the old name"
  [ "$(sed -n 6p "${lists[0]}")" = $'note\r' ] || fail "TERM: the kept list lost the comment"
  grep -q "${lists[0]}" "$work/state/vantrix/last-unsaved" || fail "TERM: no note for the next start"
fi

# Forty servers that never answer: a whole check takes 16 s, the signal ends it at once.
silent=$work/silent.txt
for port in $(seq 1 40); do printf '127.0.0.1:%s\r\n' "$((40000 + port))"; done >"$silent"
run "$silent" F10 1.5 INT 30
[ "$status" = 0 ] || fail "INT during a check: exit status $status"
mapfile -t lists < <(kept "$work/state/vantrix")
if [ ${#lists[@]} -ne 2 ]; then
  fail "INT during a check: ${#lists[@]} kept lists"
else
  newest=$(ls -t "${lists[@]}" | head -n 1)
  [ "$(wc -l <"$newest")" = 400 ] || fail "INT during a check: the kept list is not forty records"
  [ "$(sed -n 7p "$newest")" = $'-\r' ] || fail "INT during a check: the first server is not marked silent"
fi

# Nothing changed: nothing kept.
run "$named" "" 0.5 HUP 50
[ "$status" = 0 ] || fail "HUP: exit status $status"
[ "$(kept "$work/state/vantrix" | wc -l)" = 2 ] || fail "HUP: a list was kept without a change"

# A file where the state folder would be: the program ends at once, nothing written.
printf 'x' >"$work/not-a-folder"
export XDG_STATE_HOME=$work/not-a-folder
run "$named" shift+Delete 1 TERM 50
[ "$status" = 0 ] || fail "unwritable state folder: exit status $status"
[ "$(cat "$work/not-a-folder")" = x ] || fail "unwritable state folder: the file in its place changed"

if [ "$failures" -ne 0 ]; then
  cat "$work/out.log"
  echo "$failures checks failed"
  exit 1
fi
echo "kept lists: TERM, INT during a check, HUP without a change and an unwritable folder checked"
