#!/usr/bin/env bash
# Builds both trees and runs every test: the portable core natively, then everything for Windows
# with its tests under Wine (on a private Xvfb display when none is given).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${VANTEL_BUILD:-$root/build}"
jobs=$(nproc)

"$root/scripts/install-deps.sh" || exit 1

set -e
cmake -S "$root" -B "$build/host" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/host" -j "$jobs"
cmake -S "$root" -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/windows" -j "$jobs"

# The tests' Wine session runs on a private display when none is given; stop the one this run
# starts, with the tree's Wine session on it, once the tests end.
xvfb_pid_file="$build/windows/xvfb.pid"
xvfb_before=$(cat "$xvfb_pid_file" 2>/dev/null || true)
stop_private_display() {
    local pid
    pid=$(cat "$xvfb_pid_file" 2>/dev/null) || return 0
    [ "$pid" != "$xvfb_before" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] || return 0
    WINEPREFIX="$build/windows/wineprefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$build/windows/wineprefix" wineserver -w
    kill "$pid"
    rm -f "$xvfb_pid_file"
}
trap stop_private_display EXIT
"$root/scripts/wine-session.sh" "$build/windows"
set +e

summary() {  # "N passed, N failed" from a ctest log
    sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$1" | tail -1
}
ctest --test-dir "$build/host" --output-on-failure 2>&1 | tee "$build/host-ctest.log"
host_status=${PIPESTATUS[0]}
# Windows-side tests share one Wine session and one foreground: run them one at a time.
ctest --test-dir "$build/windows" --output-on-failure --timeout 600 2>&1 | tee "$build/windows-ctest.log"
windows_status=${PIPESTATUS[0]}

read -r host_failed host_total <<<"$(summary "$build/host-ctest.log")"
read -r win_failed win_total <<<"$(summary "$build/windows-ctest.log")"
failed=$(( ${host_failed:-0} + ${win_failed:-0} ))
total=$(( ${host_total:-0} + ${win_total:-0} ))
echo
echo "host: ${host_total:-0} test programs, windows (under Wine): ${win_total:-0} test programs"
echo "$(( total - failed )) passed, $failed failed"
[ "$host_status" -eq 0 ] && [ "$windows_status" -eq 0 ]
