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

source "$here/x11_session.sh"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

"$launcher" --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

timeout 120 "$python" "$here/accessibility_tour.py" || fail "the tour did not complete"
# "Exit" ends the program by itself.
wait_until 10 sh -c "! kill -0 $program_pid 2>/dev/null" || fail "the program did not end after Exit"
# A sanitizer report at exit (a leak, say) shows only in the status.
wait "$program_pid" || fail "the program ended with status $?"
