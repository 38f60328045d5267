#!/usr/bin/env bash
# Starts a private session bus, the accessibility bus and its registry, an X
# server of its own and the window, then lets the checker walk what a screen
# reader would see. Everything it starts it stops again by PID, also when a
# step fails.
#   run_a11y_check.sh RDSIM CHECKER WORKDIR
# Exit 77 (skipped) when a tool the check needs is not installed; under CI,
# where ./setup.sh has installed them, a missing tool fails instead.
set -euo pipefail

rdsim=$(realpath "$1")
checker=$(realpath "$2")
work=$3

skip() {
  if [ "${CI:-}" = true ]; then echo "FAILED: $*" >&2; exit 1; fi
  echo "SKIPPED: $*" >&2
  exit 77
}

find_tool() {
  local candidate
  for candidate in "$@"; do
    if [ -x "$candidate" ]; then echo "$candidate"; return 0; fi
    if command -v "$candidate" >/dev/null 2>&1; then command -v "$candidate"; return 0; fi
  done
  return 1
}

xvfb=$(find_tool Xvfb) || skip "Xvfb is missing (Debian: xvfb)"
xdotool=$(find_tool xdotool) || skip "xdotool is missing (Debian: xdotool)"
dbus_daemon=$(find_tool dbus-daemon) || skip "dbus-daemon is missing (Debian: dbus-daemon)"
dbus_send=$(find_tool dbus-send) || skip "dbus-send is missing (Debian: dbus-bin)"
launcher=$(find_tool /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher) ||
  skip "at-spi-bus-launcher is missing (Debian: at-spi2-core)"
registryd=$(find_tool /usr/libexec/at-spi2-registryd /usr/lib/at-spi2-core/at-spi2-registryd) ||
  skip "at-spi2-registryd is missing (Debian: at-spi2-core)"
python=""
# A Python of its own earlier on the PATH may lack the system's bindings.
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import pyatspi' >/dev/null 2>&1; then python=$candidate; break; fi
done
[ -n "$python" ] || skip "no python3 with pyatspi (Debian: python3-pyatspi)"

rm -rf "$work"
mkdir -p "$work/cwd"
# The sockets live in a short path of their own: a deep build directory could
# pass the length a socket address may have.
runtime=$(mktemp -d "${TMPDIR:-/tmp}/rdsim-a11y.XXXXXX")

pids=()
cleanup() {
  local pid
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill -TERM "$pid" 2>/dev/null || true
  done
  for ((tries = 0; tries < 20; tries++)); do
    local alive=0
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    ((alive)) || break
    sleep 0.1
  done
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits up to 20 s for a command to succeed.
wait_for() {
  local what=$1
  shift
  for ((tries = 0; tries < 200; tries++)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "FAIL: $what did not come up" >&2
  return 1
}

# Nothing is started on demand on this bus: no service directories, so every
# process that serves it is one started here.
cat >"$work/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$runtime</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF

"$dbus_daemon" --config-file="$work/session.conf" --nofork --nopidfile --print-address=3 3>"$work/bus-address" &
pids+=($!)
wait_for "the session bus" test -s "$work/bus-address"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus-address")
export DBUS_SESSION_BUS_ADDRESS
export XDG_RUNTIME_DIR=$runtime

# RDSIM_A11Y_DISPLAY pins the display number on a machine whose displays are
# shared out; without it the server takes the first free one.
"$xvfb" ${RDSIM_A11Y_DISPLAY:+":$RDSIM_A11Y_DISPLAY"} -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for "Xvfb" test -s "$work/display"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

has_owner() {  # has_owner BUS-ADDRESS NAME
  "$dbus_send" --bus="$1" --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$2" | grep -q 'boolean true'
}

"$launcher" --launch-immediately --a11y=1 >"$work/launcher.log" 2>&1 &
launcher_pid=$!
pids+=("$launcher_pid")
wait_for "the accessibility bus launcher" has_owner "$DBUS_SESSION_BUS_ADDRESS" org.a11y.Bus
a11y_bus=$("$dbus_send" --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress |
           tr -d ' ')
[ -n "$a11y_bus" ] || { echo "FAIL: no accessibility bus address" >&2; exit 1; }
# The launcher's own bus daemon, in case the launcher leaves it behind.
for child in $(pgrep -P "$launcher_pid" 2>/dev/null || true); do pids+=("$child"); done

"$registryd" >"$work/registryd.log" 2>&1 &
pids+=($!)
wait_for "the accessibility registry" has_owner "$a11y_bus" org.a11y.atspi.Registry

# The window reads and writes its presets beside where it runs.
(cd "$work/cwd" && exec env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
  "$rdsim" >"$work/rdsim.log" 2>&1) &
rdsim_pid=$!
pids+=("$rdsim_pid")

status=0
# Only the checker gets the bus address directly: Qt (6.4) connects to a bus
# given that way but then never registers the window with the registry. The
# checker runs in the background, so that a signal to this script is handled
# at once.
AT_SPI_BUS_ADDRESS=$a11y_bus RDSIM_PID=$rdsim_pid XDOTOOL=$xdotool "$python" "$checker" &
checker_pid=$!
pids+=("$checker_pid")
wait "$checker_pid" || status=$?
if ! kill -0 "$rdsim_pid" 2>/dev/null; then
  echo "FAIL: the window exited during the check" >&2
  cat "$work/rdsim.log" >&2
  status=1
fi
exit "$status"
