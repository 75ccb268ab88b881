#!/usr/bin/env bash
# Brings up the Wine side of a build tree, once: a 32-bit prefix inside the tree with a virtual
# desktop (so hiding windows costs milliseconds, not seconds), and an X display when none is given.
# Writes the environment to <tree>/wine.env, which wine-run reads. Safe to call concurrently.
# Usage: wine-session.sh <build tree>
set -euo pipefail
tree=$(cd "$1" && pwd)
env_file="$tree/wine.env"
prefix="$tree/wineprefix"

exec 9>"$tree/wine.lock"
flock 9

display_alive() { [ -n "${1:-}" ] && xdpyinfo -display "$1" >/dev/null 2>&1; }

if [ -f "$env_file" ]; then
    # shellcheck disable=SC1090
    . "$env_file"
    if display_alive "$DISPLAY" && [ -f "$prefix/system.reg" ]; then exit 0; fi
fi

display="${VANTEL_DISPLAY:-${DISPLAY:-}}"
if ! display_alive "$display"; then
    # Our own virtual display: the first free number from 90 on.
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        # 9>&-: the display outlives this script and must not keep holding the lock.
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$tree/xvfb.log" 2>&1 9>&- &
        for _ in $(seq 50); do display_alive ":$n" && break; sleep 0.1; done
        if display_alive ":$n"; then display=":$n"; break; fi
    done
    display_alive "$display" || { echo "wine-session: no X display could be started" >&2; exit 1; }
fi

export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$display"
if [ ! -f "$prefix/system.reg" ]; then
    echo "wine-session: creating the Wine prefix in $prefix (about half a minute)" >&2
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
    # Wine's own fonts (Tahoma for dialogs, Marlett for caption buttons) as a Windows installation
    # has them; without them captions show "r" for their close box.
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    # The virtual desktop takes effect in a new wineserver session.
    wineserver -k || true
    wineserver -w || true
fi

cat >"$env_file" <<ENV
export WINEPREFIX="$prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY="$display"
ENV
