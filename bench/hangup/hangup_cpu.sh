#!/usr/bin/env bash
# CPU time the window uses in the 10 s after its device vanishes with the port open.
# The window runs under Xvfb in a copy of the program folder with a silent pumpsim as COM1; one
# Send leaves the port open (no reply), pumpsim is killed, and utime+stime of the window's
# process are read from /proc/PID/stat before and after ten seconds.
#   bench/hangup/hangup_cpu.sh [BIN_DIR]   (default build/bin; prints "cpu_ms_in_10s N")
set -euo pipefail
bin=$(realpath "${1:-build/bin}")
display=:$((90 + RANDOM % 100))
folder=$(mktemp -d)
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
sim=
window=
cleanup() {
  [ -n "$window" ] && kill "$window" 2>/dev/null || true
  [ -n "$sim" ] && kill "$sim" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$folder"
}
trap cleanup EXIT
cp "$bin/zadu-rovu" "$folder/"
cp "$bin"/*.txt "$folder/" 2>/dev/null || true
"$bin/pumpsim" --silent --link "$folder/COM1" >/dev/null 2>&1 &
sim=$!
for _ in $(seq 50); do [ -L "$folder/COM1" ] && break; sleep 0.1; done
sleep 1
DISPLAY=$display "$folder/zadu-rovu" >/dev/null 2>&1 &
window=$!
id=
for _ in $(seq 100); do
  id=$(DISPLAY=$display xdotool search --name '^Zadu Rovu$' 2>/dev/null | head -n 1) && [ -n "$id" ] && break
  sleep 0.1
done
[ -n "$id" ] || { echo "no window" >&2; exit 1; }
sleep 0.5
# Send lies at (240, 1920) twips in the window, 1095 x 615: its middle is at (52, 148) pixels.
DISPLAY=$display xdotool mousemove --window "$id" 52 148 click 1
sleep 0.5
kill -9 "$sim"
wait "$sim" 2>/dev/null || true
sim=
ticks() { awk '{ print $14 + $15 }' "/proc/$window/stat"; }
sleep 0.2
before=$(ticks)
sleep 10
after=$(ticks)
echo "cpu_ms_in_10s $(( (after - before) * 1000 / $(getconf CLK_TCK) ))"
