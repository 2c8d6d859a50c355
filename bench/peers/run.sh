#!/usr/bin/env bash
# Side by side in one run: vantrix-check, the window's "Check all servers at once",
# quakestat (Debian's qstat) and gamedig (npm) on the same simulated servers on 127.0.0.1,
# 10% of them silent. Prints answered counts,
# times, a field-by-field comparison with quakestat, then vantrix-check and the window on
# 10,000 and on 100,000 servers, with their CPU cost per reply and the median and largest
# ping (loopback: a few milliseconds at most). Usage: bench/peers/run.sh [BUILD_DIR]
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
BIN=$BUILD/bin
PEERS=$BUILD/peers
HERE=$ROOT/bench/peers
mkdir -p "$PEERS"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
apt_install() {
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get install -y --no-install-recommends "$@" || { $SUDO apt-get update && $SUDO apt-get install -y --no-install-recommends "$@"; }
}

echo "== building vantrix-check, vantrix-fakeserver, check_bench and gui_atonce_bench"
cmake --build "$BUILD" --target vantrix-check vantrix-fakeserver check_bench >/dev/null
# The window's "Check all servers at once" (Ctrl+F10), when the window is built.
WINDOW=""
if cmake --build "$BUILD" --target gui_atonce_bench >/dev/null 2>&1; then WINDOW=$BIN/gui_atonce_bench; fi
window_run() {  # run-dir: the window's command on the run's list, same time-out and retry
  local dir=$1
  [ -n "$WINDOW" ] || return 0
  VANTRIX_BENCH_LIST="$dir/list.txt" VANTRIX_BENCH_TIMES="$dir/times.tsv" QT_QPA_PLATFORM=offscreen \
    "$WINDOW" 2>>"$dir/tools.err" | tee -a "$dir/window.txt"
}

echo "== peers"
command -v quakestat >/dev/null || apt_install qstat
command -v node >/dev/null && command -v npm >/dev/null || apt_install nodejs npm
if [ ! -f "$PEERS/node_modules/gamedig/package.json" ]; then
  npm install --no-audit --no-fund --silent --prefix "$PEERS" gamedig@5 >/dev/null
fi
echo "quakestat: $(quakestat -v 2>&1 | head -n 1)"
echo "gamedig:   $(node -p "require('$PEERS/node_modules/gamedig/package.json').version")"

# Ten thousand servers need ten thousand descriptors; gamedig opens one socket a query.
ulimit -n "$(ulimit -Hn)" 2>/dev/null || true

FAKE_PIDS=()
stop_servers() {
  local pid
  for pid in "${FAKE_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  FAKE_PIDS=()
}
trap stop_servers EXIT

# Ports below the ephemeral range, so no client socket can hold one of them. A list longer
# than one address's ports is spread over 127.0.0.1, 127.0.0.2, ... (17,000 servers each: one
# descriptor a server, below a common hard limit of 20,000).
start_servers() {  # count base-port run-dir
  local count=$1 port=$2 dir=$3
  local share=17000 host=1 left=$count
  [ "$count" -le "$share" ] && share=$count
  : >"$dir/list.txt"
  while [ "$left" -gt 0 ]; do
    local here=$(( left < share ? left : share ))
    "$BIN/vantrix-fakeserver" --count "$here" --silent-share 0.1 --base-port "$port" --address "127.0.0.$host" \
      --write-list "$dir/list-$host.txt" --seconds 900 >"$dir/fake-$host.out" 2>"$dir/fake-$host.err" &
    local pid=$!
    FAKE_PIDS+=("$pid")
    local ready=""
    for _ in $(seq 1 600); do
      if grep -q ready "$dir/fake-$host.out" 2>/dev/null; then ready=yes; break; fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    if [ -z "$ready" ]; then echo "the simulated servers did not start:"; cat "$dir/fake-$host.err"; exit 1; fi
    cat "$dir/list-$host.txt" >>"$dir/list.txt"
    left=$(( left - here )); host=$(( host + 1 ))
  done
}

# "median/max" of the pings in vantrix-check's JSON output, or "-".
pings_of() {
  grep -o '"ping":[0-9]*' "$1" 2>/dev/null | cut -d: -f2 | sort -n |
    awk '{ v[NR] = $1 } END { if (NR) printf "%d/%d", v[int((NR + 1) / 2)], v[NR]; else print "-" }'
}

# Runs a tool with its output to a file, appends "label answered wall cpu pings" to times.tsv.
timed() {  # run-dir label output-file answered-pattern command...
  local dir=$1 label=$2 out=$3 pattern=$4; shift 4
  local times
  times=$( { TIMEFORMAT='%R %U %S'; time "$@" >"$out" 2>>"$dir/tools.err" || true; } 2>&1 )
  read -r wall user sys <<<"$times"
  local answered
  answered=$(grep -o "$pattern" "$out" | wc -l)
  local cpu
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.3f", u + s }')
  printf '%s\t%s\t%s\t%s\t%s\n' "$label" "$answered" "$wall" "$cpu" "$(pings_of "$out")" >>"$dir/times.tsv"
}

VANTRIX_ANSWERED='"status":"answered"'

echo
echo "== 1,000 servers, 10% silent, time-out 400 ms"
RUN=$PEERS/run-1000
rm -rf "$RUN"; mkdir -p "$RUN"; : >"$RUN/times.tsv"
start_servers 1000 21000 "$RUN"
CHECK=("$BIN/vantrix-check" --query info --format json --no-progress "$RUN/list.txt")
timed "$RUN" "vantrix-check --query info --retries 0" "$RUN/vantrix-r0.json" "$VANTRIX_ANSWERED" "${CHECK[@]}" --retries 0
timed "$RUN" "vantrix-check --query info (defaults)" "$RUN/vantrix-defaults.json" "$VANTRIX_ANSWERED" "${CHECK[@]}"
timed "$RUN" "vantrix-check --query details (defaults)" "$RUN/vantrix-details.json" "$VANTRIX_ANSWERED" \
  "$BIN/vantrix-check" --query details --format json --no-progress "$RUN/list.txt"
timed "$RUN" "quakestat -a2s -json (defaults)" "$RUN/qstat.json" '"status": "online"' \
  quakestat -default a2s -json -f "$RUN/list.txt"
timed "$RUN" "quakestat -a2s -json tuned (maxsim 1000)" "$RUN/qstat-tuned.json" '"status": "online"' \
  quakestat -default a2s -json -maxsim 1000 -sendinterval 0 -retry 1 -interval 0.4 -f "$RUN/list.txt"
timed "$RUN" "gamedig (1 attempt, 400 ms)" "$RUN/gamedig.json" '"status":"answered"' \
  node "$HERE/gamedig-run.mjs" "$PEERS" "$RUN/list.txt" 400
window_run "$RUN"
stop_servers
node "$HERE/compare.mjs" "$RUN"
grep -h "query phase" "$RUN/tools.err" || true

# vantrix-check and the window on a long list; prints the run's table.
long_run() {  # count base-port
  local count=$1 port=$2
  echo
  echo "== $(printf "%'d" "$count") servers, 10% silent, vantrix-check and the window"
  RUN=$PEERS/run-$count
  rm -rf "$RUN"; mkdir -p "$RUN"; : >"$RUN/times.tsv"
  start_servers "$count" "$port" "$RUN"
  grep -h '^Udp:' /proc/net/snmp | tail -n 1 | awk '{ print $6 }' >"$RUN/rcvbuf-before"
  CHECK=("$BIN/vantrix-check" --query info --format json --no-progress "$RUN/list.txt")
  timed "$RUN" "vantrix-check --query info --retries 0" "$RUN/vantrix-r0.json" "$VANTRIX_ANSWERED" "${CHECK[@]}" --retries 0
  timed "$RUN" "vantrix-check --query info (defaults)" "$RUN/vantrix-defaults.json" "$VANTRIX_ANSWERED" "${CHECK[@]}"
  if [ "$count" -le 10000 ]; then
    timed "$RUN" "vantrix-check --query details (defaults)" "$RUN/vantrix-details.json" "$VANTRIX_ANSWERED" \
      "$BIN/vantrix-check" --query details --format json --no-progress "$RUN/list.txt"
  fi
  window_run "$RUN"
  stop_servers
  printf '%-44s%9s%9s%8s%14s%10s\n' tool answered "wall s" "cpu s" "cpu/reply us" "ping ms"
  while IFS=$'\t' read -r tool answered wall cpu pings; do
    printf '%-44s%9s%9s%8s%14s%10s\n' "$tool" "$answered" "$wall" "$cpu" \
      "$(awk -v c="$cpu" -v a="$answered" 'BEGIN { if (a > 0) printf "%.1f", c * 1e6 / a; else print "-" }')" "${pings:--}"
  done <"$RUN/times.tsv"
  # Replies the kernel dropped for want of room in a socket's queue, all sockets of the machine.
  echo "UDP receive-buffer drops during the run: $(( $(grep -h '^Udp:' /proc/net/snmp | tail -n 1 | awk '{ print $6 }') - $(cat "$RUN/rcvbuf-before") ))"
}

long_run 10000 22000
# Every answering row filled: both tools should report 90,000 answered.
long_run 100000 2000

echo
echo "== CPU per reply inside the checker (no sockets): check_bench"
"$BIN/check_bench" --benchmark_filter='SchedulerRunPerReply|DecodeSourceInfo' 2>/dev/null
