#!/usr/bin/env bash
# Builds vantel.exe and starts it under Wine: on your display, or on a virtual display that this
# script starts when there is none. Your Wine prefix for Vantel lives in ~/.local/share/vantel.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${VANTEL_BUILD:-$root/build}"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/windows" --target vantel -j "$(nproc)"

export WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/vantel/wineprefix}" WINEARCH=win32
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    export DISPLAY=:77
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
        Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        sleep 1
    fi
    echo "run: no X display found; Vantel runs on the virtual display $DISPLAY." >&2
    echo "run: see it with: DISPLAY=$DISPLAY import -window root vantel.png" >&2
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "run: creating the Wine prefix $WINEPREFIX (about half a minute)" >&2
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
exec wine "$build/windows/bin/vantel.exe"
