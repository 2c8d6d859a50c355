#!/usr/bin/env bash
# Starts the program, waits for its main window, saves a screenshot and closes it again.
# Usage: scripts/demo.sh BUILD_DIR   (runs under a private X server when there is no DISPLAY)
set -euo pipefail

build_dir=${1:-build}
program="$build_dir/bin/vantrix"
out_dir=demo-out
shot="$out_dir/vantrix.png"
title="Vantrix 1.19"
wait_seconds=${DEMO_WAIT_SECONDS:-20}

if [ ! -x "$program" ]; then
  echo "demo: $program not found; build first (make build)" >&2
  exit 1
fi
for tool in xdotool import xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "demo: $tool is missing (make deps)" >&2; exit 1; }
done
mkdir -p "$out_dir"

xvfb_pid=""
app_pid=""
cleanup() {
  if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then kill "$app_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT INT TERM

if [ -z "${DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || { echo "demo: no DISPLAY and no Xvfb (make deps)" >&2; exit 1; }
  # Xvfb picks a free display itself and writes its number to the file, which avoids
  # racing other X servers on this machine for a number.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
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
fi

"$program" &
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

sleep 1  # let it paint
import -window root "$shot"
echo "demo: screenshot saved to $(cd "$out_dir" && pwd)/vantrix.png"

# Close the program. The main window ends it at once when closed, but a bare X server has
# no window manager to deliver a close request, so it is told to stop instead.
kill -TERM "$app_pid" 2>/dev/null || true
for _ in $(seq 1 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
  echo "demo: the program did not stop; killing it" >&2
  kill -KILL "$app_pid" 2>/dev/null || true
fi
wait "$app_pid" 2>/dev/null || true
app_pid=""
echo "demo: done"
