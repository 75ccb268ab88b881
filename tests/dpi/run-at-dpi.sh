#!/usr/bin/env bash
# Runs a Windows program of the build tree in a copy of the tree's Wine prefix whose display is
# set to a DPI (LogPixels), with a wineserver of its own that is stopped afterwards.
# Usage: run-at-dpi.sh <windows build tree> <dpi> <program> [arguments...]
set -euo pipefail
tree=$1
dpi=$2
shift 2
"$(dirname "$0")/../../scripts/wine-session.sh" "$tree"
# shellcheck disable=SC1091
. "$tree/wine.env"
copy="$tree/wineprefix-$dpi"
if [ ! -f "$copy/system.reg" ]; then
    rm -rf "$copy"
    cp -a "$WINEPREFIX" "$copy"
fi
export WINEPREFIX="$copy"
for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
done
# The DPI takes effect in a new wineserver session, and this one goes when the program is done.
wineserver -k 2>/dev/null || true
wineserver -w
trap 'wineserver -k 2>/dev/null || true' EXIT
output=$(mktemp)
status=0
wine "$@" </dev/null >"$output" 2>&1 || status=$?
cat "$output"
rm -f "$output"
exit $status
