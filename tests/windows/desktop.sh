#!/usr/bin/env bash
# The Windows program under Wine on a virtual X server with the openbox window manager, driven
# with the keyboard only, as an operator would: Begin on the splash, a calculation in the input
# window (its results read back through the clipboard), Exit; the settings read back from the
# registry with `wine reg query`, then restored by a second start (the window where the registry
# puts it, the dosing parameters in the input window); System Info... without the system
# information tool ("System Information Is Unavailable At This Time", read from the message box
# with Ctrl+C as Windows allows) and with one recorded in a folder whose name has a space.
# Screenshots of each step go to SCREENSHOT_FOLDER.
#
# Usage: desktop.sh RUN_WINDOWS SCREENSHOT_FOLDER   (RUN_WINDOWS: scripts/run-windows)
set -euo pipefail
run_windows=$1
shots=$(mkdir -p "$2" && cd "$2" && pwd)
here="$(cd "$(dirname "$0")" && pwd)"

root="$(cd "$here/../.." && pwd)"
source "$root/scripts/windows-env"

source "$here/../e2e/x11_session.sh"
# Wine runs Windows' own Qt platform plugin; its registry and C: drive are made afresh here.
unset QT_QPA_PLATFORM
use_wine "$work/prefix"
trap 'wineserver -k >/dev/null 2>&1 || true; cleanup' EXIT
env -u DISPLAY wineboot --init >/dev/null 2>&1
wineserver -w
wait_until 15 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "the window manager did not start"

settings='HKEY_CURRENT_USER\Software\Pourwise\Settings'
tool_key='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO'
tool_folder="$WINEPREFIX/drive_c/Program Files/Sys Info Tool"

key() {
    xdotool key --clearmodifiers "$@"
    sleep 0.3
}
type_over() {
    key ctrl+a
    xdotool type --delay 30 "$1"
}
screenshot() {
    import -window root "$shots/$1.png"
}
# Visible windows with this exact title; the program is the only one on this display. Wine names
# the splash, which has no caption, after the program.
windows_titled() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null
}
wait_for_window() {
    wait_until 30 sh -c "xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1" ||
        fail "$2: no window \"$1\" appeared"
    window=$(windows_titled "$1" | tail -n1)
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    sleep 0.5
}
# The text Ctrl+C copies from the control or message box that has the focus.
copied() {
    printf '' | xclip -selection clipboard
    key ctrl+a ctrl+c
    local text=""
    wait_until 5 eval 'text=$(xclip -o -selection clipboard 2>/dev/null) && [ -n "$text" ]' ||
        fail "nothing was copied"
    printf '%s' "$text" | tr -d '\r'
}
expect_field() {
    local actual
    actual=$(copied)
    [ "$actual" = "$2" ] || fail "$3: $1 shows '$actual', expected '$2'"
}
stored() {
    wine reg query "$settings" /v "$1" 2>/dev/null | tr -d '\r' | awk -v k="$1" '$1 == k { print $3 }'
}
expect_stored() {
    local actual
    actual=$(stored "$1")
    [ "$actual" = "$2" ] || fail "$3: $1 is stored as '$actual', expected '$2'"
}
client_position() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        END { print x, y }'
}

# Starts the program and passes the splash with the keyboard: the focus starts on the logo, and
# Tab moves it to Begin.
start_program() {
    "$run_windows" pourwise >"$work/$1.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    wait_for_window pourwise "$1"
    screenshot "$1-splash"
    key Tab space
    wait_for_window Pourwise "$1"
    main=$window
}
# Alt selects the first item of the menu bar, and one step left wraps round to Exit, the last.
exit_program() {
    xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
    key alt
    key Left Return
    if ! wait_until 30 sh -c "! kill -0 $pid 2>/dev/null"; then
        screenshot "$1-exit-failed"
        fail "$1: Exit did not end the program"
    fi
    wait "$pid" || fail "$1: the program ended with status $?"
}
open_input_window() {
    xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
    key alt
    key Return
    wait_for_window 'User Input & Output' "$1"
}

# First run: a calculation through the input window's focus order (gender, weight, age, drinking
# period, ratio, proof, the three results, Calculate NOW, target BAL, height, Finished).
start_program "first run"
open_input_window "first run"
key space
key Tab && type_over 160
key Tab && type_over 25
key Tab && type_over 60
key Tab && type_over 4
key Tab && type_over 100
key Tab Tab Tab Tab Tab && type_over 0.1
key Tab && type_over 70
key shift+Tab shift+Tab space
sleep 1
screenshot first-run-calculated
read -r alcohol mixer total < <("$run_windows" pourwise-dose --gender male --height 70 \
    --weight 160 --age 25 --bal 0.1 --dd 60 --proof 100 --ratio 4 | tr -d '\r' | awk '{ print $2 }' |
    paste -sd' ')
key shift+Tab && expect_field "the total volume" "$total" "first run"
key shift+Tab && expect_field "the mixer volume" "$mixer" "first run"
key shift+Tab && expect_field "the alcohol dose" "$alcohol" "first run"
echo "PASS: first run: the input window computed $alcohol, $mixer and $total ml"
key Tab Tab Tab Tab Tab Tab space
read -r first_x first_y < <(client_position "$main")
exit_program "first run"
wine reg query "$settings" | tr -d '\r' >"$work/first-run.reg"
for name in MainLeft MainTop MainWidth MainHeight; do
    [[ $(stored $name) =~ ^[0-9]+$ ]] || fail "first run: $name is stored as '$(stored $name)'"
done
expect_stored BAL 0.1 "first run"
expect_stored dd 60 "first run"
expect_stored Proof 100 "first run"
expect_stored Ratio 4 "first run"
echo "PASS: first run: Exit wrote the settings to the registry"
cat "$work/first-run.reg"

# Second run: the window opens where the registry now says (moved by 133 x 95 pixels, 1995 x
# 1425 twips) and the input window shows the stored dosing parameters.
left=$(($(stored MainLeft) + 1995))
top=$(($(stored MainTop) + 1425))
wine reg add "$settings" /v MainLeft /d "$left" /f >/dev/null 2>&1
wine reg add "$settings" /v MainTop /d "$top" /f >/dev/null 2>&1
start_program "second run"
read -r x y < <(client_position "$main")
[ "$x" = $((first_x + 133)) ] && [ "$y" = $((first_y + 95)) ] ||
    fail "second run: the window is at $x,$y, expected $((first_x + 133)),$((first_y + 95))"
screenshot second-run-main
open_input_window "second run"
key space
key Tab Tab Tab && expect_field "the drinking period" 60 "second run"
key Tab && expect_field "the mixer ratio" 4 "second run"
key Tab && expect_field "the proof" 100 "second run"
key Tab Tab Tab Tab Tab && expect_field "the target BAL" 0.1 "second run"
echo "PASS: second run: the window and the dosing parameters came back from the registry"
key Tab Tab space

# System Info... with nothing recorded: the one message.
wine reg delete "$tool_key" /f >/dev/null 2>&1 || true
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
key alt+h
key a
wait_for_window 'About Pourwise' "second run"
about=$window
key alt+s
wait_until 15 sh -c "[ \$(xdotool search --onlyvisible --name '^Pourwise\$' | wc -l) -ge 2 ]" ||
    fail "System Info... showed no message"
sleep 0.5
screenshot system-info-unavailable
message=$(copied)
grep -qx 'System Information Is Unavailable At This Time' <<<"$message" ||
    fail "System Info... without the tool showed: $message"
key Return
echo "PASS: System Info... without the tool: \"System Information Is Unavailable At This Time\""

# System Info... with the tool recorded under a path with a space: it is started.
mkdir -p "$tool_folder"
x86_64-w64-mingw32-gcc -O2 -static -o "$tool_folder/msinfo32.exe" "$here/fake_system_tool.c"
wine reg add "$tool_key" /v PATH /d 'C:\Program Files\Sys Info Tool\msinfo32.exe' /f >/dev/null 2>&1
xdotool windowactivate --sync "$about" >/dev/null 2>&1 || true
key alt+s
wait_until 15 test -f "$tool_folder/started.txt" ||
    fail "System Info... did not start C:\\Program Files\\Sys Info Tool\\msinfo32.exe"
echo "PASS: System Info... started the tool recorded in the registry (a path with a space)"
# Starting the tool can take the focus from the About window for a moment, so Escape is pressed
# again, on the About window, until it has closed.
for attempt in 1 2 3; do
    xdotool windowactivate --sync "$about" >/dev/null 2>&1 || true
    key Escape
    wait_until 5 sh -c "! xdotool search --onlyvisible --name '^About Pourwise\$' >/dev/null 2>&1" &&
        break
    [ "$attempt" = 3 ] && fail "second run: Escape did not close About Pourwise"
done
exit_program "second run"
expect_stored MainLeft "$left" "second run"
expect_stored MainTop "$top" "second run"
expect_stored BAL 0.1 "second run"
echo "PASS: second run: Exit kept the restored settings; screenshots in $shots"
