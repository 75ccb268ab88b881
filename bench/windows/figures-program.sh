#!/usr/bin/env bash
# CPU time of the real vantel.exe at one tick a second, read from Linux's /proc (under Wine 8
# GetProcessTimes answers 0 for another process), in one run: hidden in the tray, then with its
# window shown, each time with another program's window in front. Also reports what the
# prefix's wineserver spent meanwhile, which no Windows-side figure shows. Run it while no other
# Vantel window is open in the tree's prefix.
# Usage: bench/windows/figures-program.sh <windows build tree> [seconds each, default 60]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=$(cd "$1" && pwd)
seconds=${2:-60}

"$root/scripts/wine-session.sh" "$tree"
# shellcheck disable=SC1091
. "$tree/wine.env"
key='HKCU\Software\Norvatech\Vantel'

cpu_ticks() {  # user + system time of a process, in clock ticks
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}
# The wineserver of this prefix works in a directory named after the prefix's device and inode.
server_dir="server-$(stat -c '%D' "$WINEPREFIX")-$(stat -c '%i' "$WINEPREFIX" | xargs printf '%x')"
server=""
for pid in $(pgrep -x wineserver64 || true) $(pgrep -x wineserver || true); do
    if [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$server_dir" ]; then server=$pid; fi
done
hz=$(getconf CLK_TCK)

for how in hidden shown; do
    wine reg add "$key" /v MonitorAtStartup /t REG_DWORD /d 1 /f >/dev/null 2>&1
    wine reg add "$key" /v MinToTray /t REG_DWORD /d "$([ "$how" = hidden ] && echo 1 || echo 0)" /f >/dev/null 2>&1
    wine "$tree/bin/vantel.exe" &
    program=$!
    sleep 5
    kill -0 "$program" 2>/dev/null || { echo "vantel.exe ended at start-up (another copy running?)" >&2; exit 1; }
    # Another program in front, beside the main window, as the user works.
    wine "$tree/bin/test_program.exe" "window Report.txt - Editor" &
    editor=$!
    sleep 5
    program0=$(cpu_ticks "$program")
    server0=$([ -n "$server" ] && cpu_ticks "$server" || echo 0)
    sleep "$seconds"
    program1=$(cpu_ticks "$program")
    server1=$([ -n "$server" ] && cpu_ticks "$server" || echo 0)
    kill "$program" "$editor"
    wait "$program" "$editor" 2>/dev/null || true
    awk -v p=$((program1 - program0)) -v s=$((server1 - server0)) -v hz="$hz" -v t="$seconds" \
        -v how="$how" -v server="${server:-none}" 'BEGIN {
        printf "cpu program %s: vantel.exe for %d s: %.2f s of CPU, %.2f s per hour, %.4f%% of one core; wineserver (pid %s) meanwhile %.2f s per hour\n",
               how, t, p / hz, p / hz * 3600 / t, p / hz * 100 / t, server, s / hz * 3600 / t
    }'
done
