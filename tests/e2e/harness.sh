#!/usr/bin/env bash
# Runs one command on a private Xvfb display and a private session bus, optionally under a window manager, with a
# tray host and with a compositing manager, and ends every process it started, also when the command fails or the
# harness is interrupted.
#
#   harness.sh [--wm openbox|icewm|xfwm4] [--tray trayer|tint2] [--compositor xcompmgr] [--depth N] [--size WxH]
#              -- command [args...]
#
# The command sees DISPLAY and TILVANE_E2E_XVFB_PID (to test a server that goes away),
# DBUS_SESSION_BUS_ADDRESS and TILVANE_E2E_BUS_PID. Everything started here, the bus included, finds HOME and
# the XDG folders in a directory of its own: nothing reaches the bus, the desktop or the settings of the
# person running the tests, and nothing relies on a bus being started on demand. Exit status: the command's,
# or 3 when the setup failed (a missing program among them: the message names its Debian package).
set -uo pipefail

wm=""
tray=""
compositor=""
depth=24
size=1024x768
while [[ $# -gt 0 ]]; do
  case "$1" in
    --wm) wm="$2"; shift 2 ;;
    --tray) tray="$2"; shift 2 ;;
    --compositor) compositor="$2"; shift 2 ;;
    --depth) depth="$2"; shift 2 ;;
    --size) size="$2"; shift 2 ;;
    --) shift; break ;;
    *) echo "harness: unknown option $1" >&2; exit 2 ;;
  esac
done
[[ $# -gt 0 ]] || { echo "harness: no command given" >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
command -v python3 >/dev/null || { echo "harness: python3 is missing: install the Debian package python3" >&2; exit 3; }
tools=(Xvfb xwininfo xprop xdotool import dbus-daemon setpriv ${wm} ${tray} ${compositor})
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || { python3 "$here/tools.py" "${tools[@]}"; exit 3; }
done

workdir=$(mktemp -d "${TMPDIR:-/tmp}/tilvane-e2e.XXXXXX")
pids=()
command_pid=""

# Asks the given processes to end, all at once, and kills what still runs a second later.
stop() {
  local pid
  for pid in "$@"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "$@"; do
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.02
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
}

cleanup() {
  # The command first, while its server is still there; then the compositor, the tray host, the window manager, the
  # bus and the server together.
  [[ -z "$command_pid" ]] || stop "$command_pid"
  stop "${pids[@]}"
  rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Starts a program (in the background, by the caller's &) that dies with the harness, even when the harness is
# killed itself: ctest ends a test that runs past its time-out with SIGKILL, and then no trap runs.
child() { exec setpriv --pdeathsig KILL -- "$@"; }

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

# Waits until the server `what` (process `pid`) has written a line matching `pattern` to `file`, which it does once
# it takes connections; else shows its log and ends the harness.
wait_for_line() {
  local what=$1 pid=$2 file=$3 pattern=$4 log=$5
  line_written() { kill -0 "$pid" && grep -q "$pattern" "$file"; }
  wait_for "$what" line_written && return 0
  cat "$log" >&2
  exit 3
}

# -displayfd picks a free display itself and writes its number once the server accepts connections.
child Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${size}x${depth}" \
  3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb=$!
pids+=("$xvfb")
wait_for_line Xvfb "$xvfb" "$workdir/display" '^[0-9][0-9]*$' "$workdir/xvfb.log"
export DISPLAY=":$(head -n1 "$workdir/display")"
export TILVANE_E2E_XVFB_PID=$xvfb

# A home of its own for everything started here: the bus's activated services and GLib programs read and write
# their settings there. sd-bus would fall back to $XDG_RUNTIME_DIR/bus without an address: ours has none.
export HOME="$workdir/home" XDG_CONFIG_HOME="$workdir/home/.config" XDG_DATA_HOME="$workdir/home/.local/share"
export XDG_CACHE_HOME="$workdir/home/.cache" XDG_STATE_HOME="$workdir/home/.local/state"
export XDG_RUNTIME_DIR="$workdir/runtime" NO_AT_BRIDGE=1
# The screen's density is the test's to choose: a scale the developer's desktop asks for stays out.
unset GDK_SCALE
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
child dbus-daemon --nofork --config-file="$here/session-bus.conf" --address="unix:path=$workdir/bus" \
  --print-address=4 4>"$workdir/bus-address" 2>"$workdir/bus.log" &
bus_pid=$!
pids+=("$bus_pid")
wait_for_line dbus-daemon "$bus_pid" "$workdir/bus-address" '^unix:' "$workdir/bus.log"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$workdir/bus-address")
export DBUS_SESSION_BUS_ADDRESS TILVANE_E2E_BUS_PID=$bus_pid

if [[ -n "$wm" ]]; then
  case "$wm" in
    openbox) wm_command=(openbox --sm-disable) ;;
    # With no settings daemon on the bus xfwm4 takes its stock settings.
    xfwm4) wm_command=(xfwm4 --compositor=off --sm-client-disable) ;;
    *) wm_command=("$wm") ;;
  esac
  child "${wm_command[@]}" >"$workdir/wm.log" 2>&1 &
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
    trayer) child trayer --edge bottom --align right --widthtype request --height 24 >"$workdir/tray.log" 2>&1 & ;;
    *) child "$tray" >"$workdir/tray.log" 2>&1 & ;;
  esac
  pids+=("$!")
  tray_ready() { xwininfo -root -tree | grep -qi "\"$tray\""; }
  wait_for "$tray" tray_ready || exit 3
fi

if [[ -n "$compositor" ]]; then
  child "$compositor" >"$workdir/compositor.log" 2>&1 &
  compositor_pid=$!
  pids+=("$compositor_pid")
  # Ready once its own window is there, which it makes to own the compositing selection with.
  compositor_ready() {
    kill -0 "$compositor_pid" ||
      { echo "harness: $compositor exited: $(tail -n 3 "$workdir/compositor.log")" >&5; exit 3; }
    xwininfo -root -tree | grep -q "\"$compositor\""
  }
  exec 5>&2
  wait_for "$compositor" compositor_ready || exit 3
fi

child "$@" &
command_pid=$!
wait "$command_pid"
status=$?
command_pid=""  # reaped: its number may belong to someone else by now
exit "$status"
