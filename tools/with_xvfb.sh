#!/usr/bin/env bash
# Runs a command on a private, invisible X server (Xvfb) with a small window manager (openbox),
# so that windows get real frames and can be maximized. Both are stopped afterwards.
# Usage: tools/with_xvfb.sh COMMAND [ARGS...]
# Exits with 77 (a skipped test for CTest) when Xvfb or openbox is not installed.
set -euo pipefail
screen_size=${XVFB_SCREEN:-1024x768x24}

for program in Xvfb openbox; do
  if ! command -v "$program" >/dev/null; then
    echo "with_xvfb: $program is not installed (see tools/debian-packages.txt); skipped" >&2
    exit 77
  fi
done

scratch=$(mktemp -d)
server=
manager=
stop() {
  [ -n "$manager" ] && kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$scratch"
}
trap stop EXIT

# Waits up to five seconds for a file to have content.
await() {
  for _ in $(seq 50); do
    [ -s "$1" ] && return 0
    sleep 0.1
  done
  echo "with_xvfb: $2 did not start" >&2
  exit 1
}

# The server picks a free display number and writes it to descriptor 3.
Xvfb -displayfd 3 -screen 0 "$screen_size" -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
server=$!
await "$scratch/display" Xvfb
export DISPLAY=":$(head -n1 "$scratch/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

# openbox runs its start-up command once it manages the screen.
openbox --startup "sh -c 'echo ready >$scratch/ready'" >"$scratch/openbox.log" 2>&1 &
manager=$!
await "$scratch/ready" openbox

status=0
"$@" || status=$?
exit "$status"
