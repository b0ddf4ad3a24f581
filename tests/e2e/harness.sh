#!/usr/bin/env bash
# Runs one command on a private Xvfb display, optionally under a window manager, with a tray host and on a
# private session bus, and ends every process it started, also when the command fails or the harness is
# interrupted.
#
#   harness.sh [--wm openbox|icewm|xfwm4] [--tray trayer] [--bus] [--depth N] [--size WxH] -- command [args...]
#
# The command sees DISPLAY and TILVANE_E2E_XVFB_PID (to test a server that goes away), and with --bus
# DBUS_SESSION_BUS_ADDRESS and TILVANE_E2E_BUS_PID. Without --bus it sees no session bus at all, so that
# a desktop the tests happen to run in cannot take the tray icon away from the X tray. Exit status:
# the command's, 77 when a tool is missing (ctest counts it as skipped), 3 when the setup failed.
set -uo pipefail

wm=""
tray=""
bus=""
depth=24
size=1024x768
while [[ $# -gt 0 ]]; do
  case "$1" in
    --wm) wm="$2"; shift 2 ;;
    --tray) tray="$2"; shift 2 ;;
    --bus) bus=dbus-daemon; shift ;;
    --depth) depth="$2"; shift 2 ;;
    --size) size="$2"; shift 2 ;;
    --) shift; break ;;
    *) echo "harness: unknown option $1" >&2; exit 2 ;;
  esac
done
[[ $# -gt 0 ]] || { echo "harness: no command given" >&2; exit 2; }

for tool in Xvfb xwininfo xprop xdotool import python3 ${wm} ${tray} ${bus}; do
  if ! command -v "$tool" >/dev/null; then
    echo "harness: $tool is missing (scripts/deps test installs it)" >&2
    exit 77
  fi
done

workdir=$(mktemp -d "${TMPDIR:-/tmp}/tilvane-e2e.XXXXXX")
pids=()

cleanup() {
  local pid
  # Newest first: the command, then the tray host and the window manager, the server last.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill -TERM "$pid" 2>/dev/null || continue
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.02
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits until `check` succeeds, giving up after about ten seconds: a slow machine only makes it slower.
wait_for() {
  local what=$1; shift
  for _ in $(seq 500); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.02
  done
  echo "harness: $what did not come up" >&2
  return 1
}

# -displayfd picks a free display itself and writes its number once the server accepts connections.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${size}x${depth}" \
  3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb=$!
pids+=("$xvfb")
display_ready() { kill -0 "$xvfb" && grep -q '^[0-9][0-9]*$' "$workdir/display"; }
if ! wait_for "Xvfb" display_ready; then
  cat "$workdir/xvfb.log" >&2
  exit 3
fi
export DISPLAY=":$(head -n1 "$workdir/display")"
export TILVANE_E2E_XVFB_PID=$xvfb

# sd-bus falls back to $XDG_RUNTIME_DIR/bus without an address; an empty directory of our own has none.
unset DBUS_SESSION_BUS_ADDRESS
mkdir -m 700 "$workdir/runtime"
export XDG_RUNTIME_DIR="$workdir/runtime"
if [[ -n "$bus" ]]; then
  dbus-daemon --nofork --config-file="$(dirname "$0")/session-bus.conf" --address="unix:path=$workdir/bus" \
    --print-address=4 4>"$workdir/bus-address" 2>"$workdir/bus.log" &
  bus_pid=$!
  pids+=("$bus_pid")
  bus_ready() { kill -0 "$bus_pid" && grep -q '^unix:' "$workdir/bus-address"; }
  if ! wait_for "dbus-daemon" bus_ready; then
    cat "$workdir/bus.log" >&2
    exit 3
  fi
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$workdir/bus-address")
  export DBUS_SESSION_BUS_ADDRESS
  export TILVANE_E2E_BUS_PID=$bus_pid
fi

if [[ -n "$wm" ]]; then
  case "$wm" in
    openbox) wm_command=(openbox --sm-disable) ;;
    # Without a session bus xfwm4 takes its stock settings, after a pause of a second or two.
    xfwm4) wm_command=(xfwm4 --compositor=off --sm-client-disable) ;;
    *) wm_command=("$wm") ;;
  esac
  # A private configuration directory keeps the user's own window-manager settings out of the tests.
  XDG_CONFIG_HOME="$workdir/config" "${wm_command[@]}" >"$workdir/wm.log" 2>&1 &
  wm_pid=$!
  pids+=("$wm_pid")
  # Ready once it manages the screen (it names its check window); a manager that died is reported at once.
  wm_ready() {
    kill -0 "$wm_pid" || { echo "harness: $wm exited: $(tail -n 3 "$workdir/wm.log")" >&5; exit 3; }
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
  }
  exec 5>&2  # wait_for silences the probe's own output
  wait_for "$wm" wm_ready || exit 3
fi

if [[ -n "$tray" ]]; then
  # tint2 starts its panel only once a window manager runs; it reads its stock configuration.
  case "$tray" in
    trayer) trayer --edge bottom --align right --widthtype request --height 24 >"$workdir/tray.log" 2>&1 & ;;
    *) XDG_CONFIG_HOME="$workdir/config" "$tray" >"$workdir/tray.log" 2>&1 & ;;
  esac
  pids+=("$!")
  tray_ready() { xwininfo -root -tree | grep -qi "\"$tray\""; }
  wait_for "$tray" tray_ready || exit 3
fi

"$@" &
command_pid=$!
pids+=("$command_pid")
wait "$command_pid"
status=$?
unset 'pids[-1]'  # reaped: its number may belong to someone else by now
exit "$status"
