#!/bin/sh
# Runs inside a private mount namespace (unshare -m --propagation private):
# starts quorvex-sim on a pseudo-terminal, binds that terminal onto
# /dev/ttyS0 so that Chromium's device list shows it as a serial port, binds
# a copy of /etc/chromium with a policy folder over the real one, and runs
# the page test against it, or the command given. Nothing outside the
# namespace changes.
#   serial_e2e.sh [COMMAND...]   (QUORVEX_SIM, QUORVEX_CLI, QUORVEX_PAGE set)
set -eu
# In memory where there is a tmpfs: the simulator writes its log a line per
# byte, and a write that waits on a disk's journal would hold its reading
# back, so that bytes sent apart would be logged together.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
sim=
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
# The simulator runs ahead of every other process where it may, so that the
# time it logs a byte is the time the byte reached the terminal, not the time
# a busy machine let it read.
realtime=
chrt -f 10 true 2>/dev/null && realtime="chrt -f 10"
$realtime "$QUORVEX_SIM" --log "$scratch/sim.log" --log-bytes >"$scratch/pty" &
sim=$!
# The simulator prints its terminal's path once the terminal exists.
while [ ! -s "$scratch/pty" ]; do
  kill -0 "$sim" || exit 1
  sleep 0.05
done
pty=$(head -n 1 "$scratch/pty")
mount --bind "$pty" /dev/ttyS0
cp -a /etc/chromium/. "$scratch/etc/" 2>/dev/null || mkdir -p "$scratch/etc"
mkdir -p "$scratch/etc/policies/managed"
mount --bind "$scratch/etc" /etc/chromium
[ $# -gt 0 ] || set -- node --test "$(dirname "$0")/serial_e2e.test.mjs"
QUORVEX_E2E_PTY=$pty QUORVEX_E2E_LOG=$scratch/sim.log \
  QUORVEX_E2E_POLICY=/etc/chromium/policies/managed "$@"
