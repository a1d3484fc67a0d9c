#!/usr/bin/env bash
# Runs the real program under a virtual X server with the accessibility bus, and drives it
# through its accessibility tree (tests/e2e/accessibility_tour.py). Settings go to a temporary
# folder, never to the user's own.
#
# Usage: accessibility_tour.sh PATH_TO_POURWISE
# Exits 77 (skipped) when Xvfb, openbox, dbus, the accessibility bus or pyatspi are missing.
set -euo pipefail

program=$1
here=$(cd "$(dirname "$0")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher
python=/usr/bin/python3
for tool in Xvfb openbox dbus-run-session "$launcher" "$python"; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
if ! "$python" -c 'import pyatspi' 2>/dev/null; then
    echo "SKIP: pyatspi is not installed"
    exit 77
fi

# The accessibility bus lives on a session bus of its own.
if [ -z "${POURWISE_TOUR_SESSION:-}" ]; then
    export POURWISE_TOUR_SESSION=1
    exec dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=C.UTF-8 LANG=C.UTF-8

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 150); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "FAIL: the X server did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")

"$launcher" --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

status=0
timeout 120 "$python" "$here/accessibility_tour.py" || status=$?
if [ "$status" -eq 0 ]; then
    # "Exit" ends the program by itself.
    for _ in $(seq 100); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program_pid" 2>/dev/null; then
        echo "FAIL: the program did not end after Exit"
        status=1
    fi
fi
[ "$status" -eq 0 ] || cat "$work/program.log"
exit "$status"
