#!/usr/bin/env bash
# Runs a test program on a private X display with openbox managing its windows, as a
# desktop user sees them (frames and title bars): under-window-manager.sh PROGRAM ARGS...
set -euo pipefail
command -v Xvfb >/dev/null && command -v openbox >/dev/null || {
  echo "Xvfb and openbox are needed (scripts/deps installs them)" >&2
  exit 1
}
fifo_dir=$(mktemp -d)
trap 'kill ${wm_pid:-} ${xvfb_pid:-} 2>/dev/null || true; rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo_dir/display" 2>/dev/null &
xvfb_pid=$!
read -r number <"$fifo_dir/display"
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
# openbox owns the window manager selection once it manages the screen.
for _ in $(seq 300); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
"$@"
