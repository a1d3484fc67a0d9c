#!/usr/bin/env bash
# Installs Pourwise with its Windows installer, silently, into a new Wine prefix, as a Windows
# user's IT department would (setup.exe /S); checks the installed files, the Start-menu entry and
# the uninstaller's registration; checks that every DLL the programs and plugins load is either
# installed beside them or part of Windows; runs the installed pourwise-dose.exe with no other
# folder on its search path; then uninstalls silently and checks that nothing is left.
#
# Usage: installer.sh SETUP_EXE
set -euo pipefail
setup=$(realpath "$1")
root="$(cd "$(dirname "$0")/../.." && pwd)"
source "$root/scripts/windows-env"
work=$(mktemp -d)
# A prefix of its own, and nothing of the build on the search path: only what was installed.
unset WINEPREFIX WINEPATH QT_PLUGIN_PATH DISPLAY
use_wine "$work/prefix"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
pass() {
    echo "PASS: $*"
}

wineboot --init >/dev/null 2>&1
wineserver -w
program_files="$WINEPREFIX/drive_c/Program Files"
installed="$program_files/Pourwise"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pourwise'

wine "$setup" /S
wineserver -w
[ -f "$installed/bin/pourwise.exe" ] && [ -f "$installed/bin/pourwise-dose.exe" ] ||
    fail "the programs are not in $installed/bin after a silent installation"
echo "Installed files:"
(cd "$installed" && find . -type f | sort | sed 's/^\.\//    /')
for file in bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6PrintSupport.dll \
    bin/platforms/qwindows.dll bin/imageformats/qjpeg.dll bin/imageformats/qico.dll \
    bin/styles/qwindowsvistastyle.dll bin/libstdc++-6.dll bin/libgcc_s_seh-1.dll \
    bin/libwinpthread-1.dll Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "the installation lacks $file"
done
pass "silent installation into C:\\Program Files\\Pourwise"

links=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Pourwise/Pourwise.lnk')
[ -n "$links" ] || fail "no Start-menu entry Pourwise\\Pourwise.lnk"
pass "Start-menu entry ${links#"$WINEPREFIX/drive_c/"}"
wine reg query "$uninstall_key" /v UninstallString 2>/dev/null | grep -qi 'Uninstall.exe' ||
    fail "the uninstaller is not registered under $uninstall_key"
pass "uninstaller registered with Windows"

# Every DLL a program or plugin imports must be installed or be one of Windows' own.
system32="$WINEPREFIX/drive_c/windows/system32"
while IFS= read -r binary; do
    while IFS= read -r dll; do
        [ -f "$installed/bin/$dll" ] || [ -f "$system32/${dll,,}" ] || [ -f "$system32/$dll" ] ||
            [[ ${dll,,} == api-ms-win-* ]] ||
            fail "${binary#"$installed/"} needs $dll, which is neither installed nor in Windows"
    done < <(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$installed" -iname '*.exe' -o -iname '*.dll')
pass "every DLL the programs and plugins load is installed or part of Windows"

expected=$'alcohol_ml 68\nmixer_ml 408\ntotal_ml 476'
result=$(wine "C:\\Program Files\\Pourwise\\bin\\pourwise-dose.exe" --gender male --height 70 \
    --weight 160 --age 25)
[ "$result" = "$expected" ] || fail "the installed pourwise-dose.exe printed: $result"
pass "the installed pourwise-dose.exe gives the worked example"

wine "$installed/Uninstall.exe" /S
wineserver -w
# The uninstaller runs from a copy of itself, so it may still be at work when the first ends.
for _ in $(seq 50); do
    [ -e "$installed/bin" ] || break
    sleep 0.2
done
[ ! -e "$installed/bin" ] || fail "files are left after uninstalling: $(find "$installed" | head)"
[ -z "$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Pourwise*')" ] ||
    fail "the Start-menu entry is left after uninstalling"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller is still registered"
pass "silent uninstallation removes the programs, the Start-menu entry and the registration"
