#!/usr/bin/env bash
# Makes a Wine prefix ready for Vantel: a 32-bit prefix, created when missing, with Wine's own
# fonts and a virtual desktop. (On a bare X display there are no title bars, and each hidden
# window costs Wine a two-second wait for the absent window manager; in the virtual desktop it
# takes milliseconds.) With the taskbar the desktop shows the notification area as Windows does,
# for running Vantel; the tests run without it, since the taskbar becomes the foreground window
# once every other window has hidden, where they expect none.
# A prefix that is ready already is left alone and nothing is started.
# Usage: DISPLAY=<display> wine-prefix.sh <prefix> with-taskbar|without-taskbar
set -euo pipefail
export WINEPREFIX=$1 WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
case "${2:-}" in
    with-taskbar) taskbar=1 ;;
    without-taskbar) taskbar=0 ;;
    *) echo "usage: wine-prefix.sh <prefix> with-taskbar|without-taskbar" >&2; exit 2 ;;
esac

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-prefix: creating the Wine prefix in $WINEPREFIX (about half a minute)" >&2
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Tahoma for dialogs and Marlett for caption buttons, as a Windows installation has them;
    # without them captions show "r" for their close box.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

# The taskbar's setting is the last of the desktop's written below: with it, a prefix has them all.
if ! grep -q "^\"EnableShell\"=dword:0000000$taskbar\$" "$WINEPREFIX/user.reg"; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops\Default' /v EnableShell /t REG_DWORD \
        /d "$taskbar" /f >/dev/null 2>&1
    # The desktop takes effect in a new wineserver session; ending this one also saves user.reg.
    wineserver -k || true
    wineserver -w
fi
