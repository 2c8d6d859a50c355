#!/usr/bin/env bash
# Starts simulated game servers on 127.0.0.1 (answering, slow, silent, odd names), opens the
# program with their list file and lets it check them.
# Usage: scripts/demo.sh BUILD_DIR [original|current]
#   original (the default): servers that answer the original requests, and the program with
#   its own settings.
#   current: servers of today (they challenge every request and send long rules replies split
#   and compressed), and a copy of the program in demo-out/current/ whose config.ini chooses
#   the current query protocol; the program's own config.ini is left alone.
#   With a DISPLAY the program stays open; the simulated servers stop when it exits.
#   Without one it runs under a private X server: F10 checks all servers, and once the
#   list has settled a screenshot goes to demo-out/vantrix.png (vantrix-current.png for the
#   current protocol) and everything stops.
#   A simulated master server lists the same servers; Ctrl+F5 in the program imports them
#   (its dialog comes filled in). DEMO_IMPORT=master starts with an empty list and, without
#   a display, imports from the master with Ctrl+F5 before F10.
set -euo pipefail

build_dir=${1:-build}
protocol=${2:-original}
program="$build_dir/bin/vantrix"
fakeserver="$build_dir/bin/vantrix-fakeserver"
out_dir=demo-out
shot="$out_dir/vantrix.png"
list="$out_dir/demo-servers.vnx"
server_log="$out_dir/fakeserver.log"
# The window's title carries the version that the build wrote into its generated header.
version=$(sed -n 's/^#define VANTRIX_VERSION "\(.*\)"$/\1/p' "$build_dir/generated/core/util/Version.h")
title="Vantrix $version"
wait_seconds=${DEMO_WAIT_SECONDS:-20}
check_seconds=${DEMO_CHECK_SECONDS:-60}
# The mix of servers: 24 in all, 4 of them silent and 3 slow ones that answer after 250 ms,
# within the 400 ms time-out (a reply after it would end the next row's wait instead).
server_options=(--count 24 --silent 4 --slow 3 --slow-ms 250 --odd-names --split-rules)
import_from=${DEMO_IMPORT:-file}
# The demo's own per-user settings: the master dialog remembers the simulated master.
export XDG_CONFIG_HOME="$PWD/$out_dir/config"
case "$protocol" in
  original) ;;
  current)
    server_options+=(--current --extra-rules 60 --split-size 400 --compress)
    shot="$out_dir/vantrix-current.png"
    ;;
  *)
    echo "demo: unknown protocol '$protocol' (original or current)" >&2
    exit 2
    ;;
esac

for built in "$program" "$fakeserver"; do
  if [ ! -x "$built" ]; then
    echo "demo: $built not found; build first (make build)" >&2
    exit 1
  fi
done
mkdir -p "$out_dir"
if [ "$protocol" = current ]; then
  # config.ini lies beside the program: a copy of it gets the tenth line.
  mkdir -p "$out_dir/current"
  cp "$program" "$out_dir/current/vantrix"
  program="$out_dir/current/vantrix"
  printf '%s\r\n' BufferSize=8192 Broadcast=0 UDPDelay=5 PacketLog=1 Connect=1 DefaultPort=27015 \
    Progress=1 ListColor=clWhite TextColor=clBlack QueryProtocol=current >"$out_dir/current/config.ini"
  echo "demo: the current query protocol, with $program"
fi

xvfb_pid=""
app_pid=""
fake_pid=""
stop() {  # stop PID: TERM, a bounded wait, then KILL
  local pid=$1
  if [ -z "$pid" ] || ! kill -0 "$pid" 2>/dev/null; then return 0; fi
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null || true; fi
  wait "$pid" 2>/dev/null || true
}
cleanup() {
  stop "$app_pid"
  stop "$fake_pid"
  stop "$xvfb_pid"
}
trap cleanup EXIT INT TERM

# The servers take a free stretch of ports below the system's ephemeral range; a stretch
# that is taken makes the simulated servers end at once, and another one is tried.
start_servers() {
  local base
  for _ in 1 2 3 4 5 6 7 8; do
    base=$((20000 + RANDOM % 11000))
    master_port=$((base + 24))
    "$fakeserver" "${server_options[@]}" --base-port "$base" --master "$master_port" --write-vnx "$list" \
      >"$server_log" 2>&1 &
    fake_pid=$!
    for _ in $(seq 1 100); do
      if grep -q '^ready' "$server_log"; then
        echo "demo: $(head -n 1 "$server_log") on 127.0.0.1, list in $list"
        return 0
      fi
      kill -0 "$fake_pid" 2>/dev/null || break
      sleep 0.1
    done
    stop "$fake_pid"
    fake_pid=""
  done
  echo "demo: the simulated servers did not start:" >&2
  cat "$server_log" >&2
  return 1
}
start_servers
mkdir -p "$XDG_CONFIG_HOME/vantrix"
printf 'Address=127.0.0.1:%s\nRegion=255\nFilter=\nLimit=5000\nApiKey=\n' "$master_port" \
  >"$XDG_CONFIG_HOME/vantrix/master-import.ini"
chmod 600 "$XDG_CONFIG_HOME/vantrix/master-import.ini"
echo "demo: the simulated master lists them at 127.0.0.1:$master_port (Ctrl+F5 in the program)"
program_args=("$list")
[ "$import_from" = master ] && program_args=()

if [ -n "${DISPLAY:-}" ]; then
  echo "demo: opening the program on $DISPLAY; press F10 to check all servers"
  "$program" "${program_args[@]}" &
  app_pid=$!
  wait "$app_pid" || true
  app_pid=""
  echo "demo: done"
  exit 0
fi

for tool in xdotool import xdpyinfo Xvfb; do
  command -v "$tool" >/dev/null || { echo "demo: $tool is missing (make deps)" >&2; exit 1; }
done
# Xvfb picks a free display itself and writes its number to the file, which avoids racing
# other X servers on this machine for a number. -noreset: without it the server resets
# when its last client leaves (xdpyinfo's check below), one more moment at which the
# program's connection could fail.
display_file=$(mktemp)
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
display_number=""
for _ in $(seq 1 100); do
  display_number=$(tr -dc '0-9' <"$display_file")
  [ -n "$display_number" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
rm -f "$display_file"
[ -n "$display_number" ] || { echo "demo: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display_number"
ready=""
for _ in $(seq 1 100); do
  if xdpyinfo >/dev/null 2>&1; then ready=1; break; fi
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$ready" ] || { echo "demo: Xvfb did not start on $DISPLAY" >&2; exit 1; }
echo "demo: started Xvfb on $DISPLAY"

"$program" "${program_args[@]}" &
app_pid=$!

window=""
deadline=$((SECONDS + wait_seconds))
while [ "$SECONDS" -lt "$deadline" ]; do
  window=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  if ! kill -0 "$app_pid" 2>/dev/null; then echo "demo: the program ended early" >&2; exit 1; fi
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "demo: no window named '$title' within ${wait_seconds}s" >&2
  exit 1
fi

# Tall enough for every row; the window's width is fixed. There is no window manager, so
# the window is placed and focused directly.
xdotool windowsize "$window" 810 560 windowmove "$window" 0 0 >/dev/null 2>&1 || true
sleep 1
timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 || xdotool windowfocus "$window" || true

# Pixels only: the PNG's own time stamps would make every shot differ.
pixels() { import -window "$window" rgb:- 2>/dev/null | md5sum | cut -d' ' -f1; }
if [ "$import_from" = master ]; then
  # The dialog comes filled in with the simulated master; Return confirms it. The import
  # runs in the background: its rows arrive well within a second on loopback.
  xdotool key ctrl+F5
  dialog=""
  for _ in $(seq 1 50); do
    dialog=$(xdotool search --onlyvisible --name "^Import from master server\$" 2>/dev/null | head -n 1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  [ -n "$dialog" ] || { echo "demo: the master dialog did not open" >&2; exit 1; }
  timeout 5 xdotool windowfocus --sync "$dialog" >/dev/null 2>&1 || xdotool windowfocus "$dialog" || true
  xdotool key Return
  sleep 2
  timeout 5 xdotool windowfocus --sync "$window" >/dev/null 2>&1 || xdotool windowfocus "$window" || true
  echo "demo: imported from the simulated master with Ctrl+F5"
fi
before=$(pixels)
xdotool key F10
echo "demo: pressed F10, checking ${server_options[1]} servers"

# The run is over when the window has not changed for a while: a row's wait lasts at most
# the 400 ms time-out, so 1.5 s of stillness after the first change means the run ended.
previous=$before
changed=""
still=0
deadline=$((SECONDS + check_seconds))
while [ "$SECONDS" -lt "$deadline" ]; do
  sleep 0.5
  if ! kill -0 "$app_pid" 2>/dev/null; then echo "demo: the program ended early" >&2; exit 1; fi
  current=$(pixels)
  if [ "$current" = "$previous" ]; then
    still=$((still + 1))
  else
    still=0
    [ "$current" != "$before" ] && changed=1
  fi
  previous=$current
  [ -n "$changed" ] && [ "$still" -ge 3 ] && break
done
if [ -z "$changed" ] || [ "$still" -lt 3 ]; then
  echo "demo: the list did not settle within ${check_seconds}s; saving the window as it is" >&2
fi

import -window "$window" "$shot"
echo "demo: screenshot saved to $(cd "$(dirname "$shot")" && pwd)/$(basename "$shot")"

# A bare X server has no window manager to deliver a close request, so the program is told
# to stop instead; the simulated servers stop with the clean-up.
stop "$app_pid"
app_pid=""
echo "demo: done"
