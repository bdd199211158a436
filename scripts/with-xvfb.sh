#!/usr/bin/env bash
# Runs a command with DISPLAY set to a virtual X server of its own and stops
# the server afterwards. Xvfb picks a free display number itself
# (-displayfd), so several test runs on one machine never race for the same
# number as "xvfb-run -a" does.
set -euo pipefail

dir=$(mktemp -d)
fifo="$dir/display"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" >"$dir/xvfb.log" 2>&1 &
xvfb=$!
cleanup() {
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT

# The server writes its display number once it accepts connections.
if ! read -r -t 30 number <"$fifo"; then
  echo "Xvfb did not start:" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$number"
status=0
"$@" || status=$?
exit "$status"
