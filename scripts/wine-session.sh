#!/usr/bin/env bash
# Brings up the Wine side of a build tree for its tests, once: the tree's own prefix (made ready
# by wine-prefix.sh, as for running Vantel, but without the taskbar) and an X display:
# VANTEL_DISPLAY or DISPLAY when it answers, otherwise a private Xvfb whose process id goes to
# <tree>/xvfb.pid so that test.sh can stop it. Writes the environment to <tree>/wine.env, which
# wine-run reads. Safe to call concurrently.
# Usage: wine-session.sh <build tree>
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=display.sh
. "$scripts/display.sh"
tree=$(cd "$1" && pwd)
env_file="$tree/wine.env"
prefix="$tree/wineprefix"

exec 9>"$tree/wine.lock"
flock 9

recorded=""
[ -f "$env_file" ] && recorded=$(sed -n 's/^export DISPLAY="\(.*\)"$/\1/p' "$env_file")
given="${VANTEL_DISPLAY:-${DISPLAY:-}}"
private=$(cat "$tree/xvfb.pid" 2>/dev/null || true)
# The display of the running session, while it is still the one given or our own: once our Xvfb
# has ended, another program may have taken its number.
if display_alive "$recorded" &&
   { [ "$recorded" = "$given" ] || { [ -n "$private" ] && process_running "$private"; }; }; then
    display=$recorded
elif display_alive "$given"; then
    display=$given
else
    # 9>&-: the display outlives this script and must not keep holding the lock.
    start_xvfb "$tree/xvfb.log" 9>&- ||
        { echo "wine-session: no X display could be started (see $tree/xvfb.log)" >&2; exit 1; }
    display=$xvfb_display
    echo "$xvfb_pid" >"$tree/xvfb.pid"
fi

# A Wine session serves the display it started on: end one that runs on another.
if [ -n "$recorded" ] && [ "$recorded" != "$display" ]; then
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" wineserver -w
fi
DISPLAY="$display" "$scripts/wine-prefix.sh" "$prefix" without-taskbar

# Through a new file: a wine-run that reads the old one meanwhile never sees half of it.
cat >"$env_file.new" <<ENV
export WINEPREFIX="$prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY="$display"
ENV
mv "$env_file.new" "$env_file"
