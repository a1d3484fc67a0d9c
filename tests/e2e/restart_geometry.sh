#!/usr/bin/env bash
# Runs the real program under a virtual X server with a real window manager: moves and resizes
# its main window, leaves through the "Exit" menu command, starts it again and checks that the
# window comes back with the same outer geometry, to the pixel, and that the dosing parameters
# came back too. Settings go to a temporary folder, never to the user's own.
#
# Usage: restart_geometry.sh PATH_TO_POURWISE
# Exits 77 (skipped) when Xvfb, openbox, xdotool or the X utilities are not installed.
set -euo pipefail

program=$1
for tool in Xvfb openbox xdotool xwininfo xprop; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

source "$(dirname "$0")/x11_session.sh"
ini=$XDG_CONFIG_HOME/Pourwise/Pourwise.ini

wait_until 15 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "the window manager did not start"

# The window's outer geometry (frame included) as "left top width height", once framed.
outer_geometry() {
    local extents x y w h l r t b
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ' ')
    [ -n "$extents" ] || return 1
    IFS=, read -r l r t b <<<"$extents"
    x=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left X: *//p')
    y=$(xwininfo -id "$1" | sed -n 's/.*Absolute upper-left Y: *//p')
    w=$(xwininfo -id "$1" | sed -n 's/.*Width: *//p')
    h=$(xwininfo -id "$1" | sed -n 's/.*Height: *//p')
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

geometry_is() {
    [ "$(outer_geometry "$1")" = "$2" ]
}

# The same geometry twice in a row, a fifth of a second apart: nothing is moving any more.
settled_geometry() {
    local first second
    first=$(outer_geometry "$1") || return 1
    sleep 0.2
    second=$(outer_geometry "$1") || return 1
    [ "$first" = "$second" ] && echo "$second"
}

find_window() {
    xdotool search --onlyvisible --pid "$1" --name '^Pourwise$' 2>/dev/null | head -n1
}

any_window() {
    xdotool search --onlyvisible --pid "$1" --class pourwise 2>/dev/null | head -n1
}

# Starts the program and waits for its main window. A splash window in front of it, which has no
# caption, is passed with its Begin button (the middle of its design box, in pixels).
start_program() {
    "$program" >"$work/$1.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    wait_until 15 sh -c "xdotool search --onlyvisible --pid $pid --class pourwise >/dev/null" ||
        fail "$1: no window appeared"
    local first
    first=$(any_window "$pid")
    if [ "$(xdotool getwindowname "$first")" != Pourwise ]; then
        # The splash stands in the middle of the 1280x1024 screen, give or take a pixel.
        local splash x y w h
        wait_until 5 sh -c "xwininfo -id $first | grep -q 'Map State: IsViewable'" || true
        splash=$(xwininfo -id "$first")
        x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$splash")
        y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$splash")
        w=$(sed -n 's/.*Width: *//p' <<<"$splash")
        h=$(sed -n 's/.*Height: *//p' <<<"$splash")
        [ $((x + w / 2 - 640)) -ge -2 ] && [ $((x + w / 2 - 640)) -le 2 ] &&
            [ $((y + h / 2 - 512)) -ge -2 ] && [ $((y + h / 2 - 512)) -le 2 ] ||
            fail "$1: the splash is not centred: ${w}x${h} at $x,$y"
        xdotool mousemove --window "$first" 443 279 click 1
    fi
    wait_until 15 sh -c "xdotool search --onlyvisible --pid $pid --name '^Pourwise\$' >/dev/null" ||
        fail "$1: the main window did not appear"
    window=$(find_window "$pid")
}

# Leaves through the menu bar with the keyboard: Alt selects "Input Parameters", the first item,
# and one step to the left wraps round to "Exit", the last, however many menus lie between.
exit_through_menu() {
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    wait_until 5 sh -c "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = $window ]" ||
        fail "$1: the main window did not get the focus"
    xdotool key --clearmodifiers alt
    sleep 0.2
    xdotool key Left Return
    wait_until 15 sh -c "! kill -0 $pid 2>/dev/null" || fail "$1: Exit did not end the program"
    wait "$pid" || fail "$1: the program ended with status $?"
}

stored() {
    sed -n "s/^$1=//p" "$ini" | tr -d '"'
}

expect_stored() {
    local key=$1 expected=$2 actual
    actual=$(stored "$key")
    [ "$actual" = "$expected" ] || fail "$3: $key is stored as '$actual', expected '$expected'"
}

# An earlier run left these; the drinking period is spelled as a hand edit might.
cat >"$ini" <<'INI'
[Settings]
MainLeft=1500
MainTop=1200
MainWidth=7500
MainHeight=6000
BAL=0.1
DD=60
Proof=100
Ratio=4
INI

# First run: the window appears where the store says (1500 twips are 100 pixels), is moved and
# resized, then left through Exit.
start_program first
wait_until 15 geometry_is "$window" "100 80 500 400" ||
    fail "first run: the window opened at '$(outer_geometry "$window")', not '100 80 500 400'"
xdotool windowmove "$window" 217 143
xdotool windowsize "$window" 613 437
wait_until 15 sh -c "[ \"\$(xwininfo -id $window | sed -n 's/.*Width: *//p')\" = 613 ]" ||
    fail "first run: the window manager did not resize the window"
moved=""
wait_until 15 eval 'moved=$(settled_geometry "$window")' || fail "first run: the window kept moving"
[ "$moved" != "100 80 500 400" ] || fail "first run: the window did not move"
exit_through_menu "first run"

read -r left top width height <<<"$moved"
expect_stored MainLeft $((left * 15)) "first run"
expect_stored MainTop $((top * 15)) "first run"
expect_stored MainWidth $((width * 15)) "first run"
expect_stored MainHeight $((height * 15)) "first run"
expect_stored BAL 0.1 "first run"
expect_stored dd 60 "first run"
expect_stored Proof 100 "first run"
expect_stored Ratio 4 "first run"
if grep -q '^DD=' "$ini"; then
    fail "the drinking period is stored under two spellings"
fi

# Second run: the window comes back where it was left, and leaving again writes the same values,
# which the program can only know by having read them back.
start_program second
wait_until 15 geometry_is "$window" "$moved" ||
    fail "second run: the window opened at '$(outer_geometry "$window")', not '$moved'"
cp "$ini" "$work/after-first-run.ini"
exit_through_menu "second run"
cmp -s "$ini" "$work/after-first-run.ini" ||
    fail "second run: the stored values changed: $(diff "$work/after-first-run.ini" "$ini")"

# Third run: closed by the window manager (Alt+F4) instead of Exit, after another move; the
# geometry is saved all the same.
start_program third
wait_until 15 geometry_is "$window" "$moved" || fail "third run: the window did not come back"
xdotool windowmove "$window" 40 60
wait_until 15 eval 'closed=$(settled_geometry "$window")' || fail "third run: the window kept moving"
[ "$closed" != "$moved" ] || fail "third run: the window did not move"
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+F4
wait_until 15 sh -c "! kill -0 $pid 2>/dev/null" || fail "third run: Alt+F4 did not end the program"
wait "$pid" || fail "third run: the program ended with status $?"
read -r left top width height <<<"$closed"
expect_stored MainLeft $((left * 15)) "third run"
expect_stored MainTop $((top * 15)) "third run"
expect_stored MainWidth $((width * 15)) "third run"

echo "PASS: the main window came back at '$moved' with its dosing parameters"
