#!/usr/bin/env bash
# Runs the frame tests against an X server that offers no shared memory, as a remote
# display does not: every put then travels through the socket.
#   without-shm.sh TEST_QT_XFRAME
set -uo pipefail
TEST=$1

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -extension MIT-SHM -screen 0 320x240x24 -nolisten tcp -noreset \
  >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Otherwise the tests would pass through shared memory and prove nothing new.
extensions=$(xdpyinfo -queryExtensions) || { echo "FAIL: xdpyinfo could not ask the server" >&2; exit 1; }
if grep -q 'MIT-SHM' <<<"$extensions"; then
  echo "FAIL: the server still offers MIT-SHM" >&2
  exit 1
fi
# Not exec: the trap must still stop the server when the tests are done.
"$TEST"
