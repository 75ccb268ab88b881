#!/usr/bin/env bash
# Builds vantel-setup.exe with CPack, installs it silently under Wine, starts the installed
# program, then uninstalls silently: the files, the shortcut, the Add/Remove Programs entry and
# the start-with-Windows entries (the user's and an earlier version's machine-wide one) go; the
# user's options stay.
# Usage: installer_test.sh <windows build tree> <source tree>
set -uo pipefail
tree=$1
source=$2
failures=0
check() {  # check <description> <command...>
    local what=$1; shift
    if "$@" >/dev/null 2>&1; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
absent() { ! "$@"; }
# wine returns when the installer ends; the uninstaller hands over to a copy of itself and ends
# at once, so its work is awaited here. (Not `wineserver -w`: helpers of earlier programs in this
# Wine session may live on.)
wait_until_gone() {  # wait_until_gone <path> <seconds>
    local tries=$(( $2 * 10 ))
    while [ -e "$1" ] && [ "$tries" -gt 0 ]; do sleep 0.1; tries=$((tries - 1)); done
}

cd "$tree" || exit 1
cpack -G NSIS >cpack.log 2>&1 || { cat cpack.log; echo "FAILED: cpack"; exit 1; }
check "cpack wrote vantel-setup.exe" test -s vantel-setup.exe

"$source/scripts/wine-session.sh" "$tree" || exit 1
# shellcheck disable=SC1091
. "$tree/wine.env"
installed="$WINEPREFIX/drive_c/Program Files/Vantel"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantel/Vantel.lnk"
options='HKCU\Software\Norvatech\Vantel'
user_run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
machine_run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantel Setup'
probe="$tree/bin/window_probe.exe"

wine reg delete "$options" /f >/dev/null 2>&1
wine vantel-setup.exe /S
check "vantel.exe installed under Program Files" test -f "$installed/vantel.exe"
check "uninstaller installed" test -f "$installed/Uninstall.exe"
check "Start-menu shortcut" test -f "$shortcut"
check "Add/Remove Programs entry" wine reg query "$uninstall_key" /v DisplayName

# The installed program starts (shown, not hidden to the tray) and ends with Exit.
wine reg add "$options" /v MinToTray /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine "$installed/vantel.exe" &
check "the installed program shows its main window" wine "$probe" wait VantelMainDialog 20
check "the installed program ends with Exit" wine "$probe" exit VantelMainDialog 20
wait

for run_key in "$user_run_key" "$machine_run_key"; do
    wine reg add "$run_key" /v Vantel /d "\"C:\\Program Files\\Vantel\\vantel.exe\"" /f >/dev/null 2>&1
done
wine "$installed/Uninstall.exe" /S
wait_until_gone "$installed" 60
check "program files removed" absent test -e "$installed/vantel.exe"
check "uninstaller removed" absent test -e "$installed/Uninstall.exe"
check "Start-menu shortcut removed" absent test -e "$shortcut"
check "Add/Remove Programs entry removed" absent wine reg query "$uninstall_key"
check "the user's start-with-Windows entry removed" absent wine reg query "$user_run_key" /v Vantel
check "the machine-wide start-with-Windows entry removed" absent wine reg query "$machine_run_key" /v Vantel
check "the user's options kept" wine reg query "$options" /v MinToTray

wine reg delete "$options" /f >/dev/null 2>&1
echo "installer test: $failures failed"
[ "$failures" -eq 0 ]
