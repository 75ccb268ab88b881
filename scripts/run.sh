#!/usr/bin/env bash
# Builds vantel.exe and runs it under Wine, in a Wine desktop with its taskbar and notification
# area. With no X display it starts a virtual one and shows it in a web browser (x11vnc and
# noVNC, listening on localhost only). When Vantel ends, it stops everything it started.
# Run again while Vantel runs, it starts nothing: the new copy of Vantel brings the running one's
# window forward and ends.
#   VANTEL_PREFIX    Vantel's Wine prefix, which keeps its options
#                    (default ~/.local/share/vantel/wineprefix)
#   VANTEL_WEB_PORT  the web page's port on localhost (default 6080)
#   VANTEL_BUILD     the build directory (default build/ in the source tree)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${VANTEL_BUILD:-$root/build}"
prefix="${VANTEL_PREFIX:-$HOME/.local/share/vantel/wineprefix}"
port="${VANTEL_WEB_PORT:-6080}"
# shellcheck source-path=SCRIPTDIR source=display.sh
. "$root/scripts/display.sh"

say() { echo "run: $*"; }
fail() { echo "run: $*" >&2; exit 1; }
fail_with_log() {  # fail_with_log <message> <log file>
    { echo "run: $1; the end of its log:"; tail -n 5 "$2" | sed 's/^/    /'; } >&2
    exit 1
}

[[ "$port" =~ ^[0-9]{1,5}$ ]] && (( 10#$port >= 1 && 10#$port <= 65535 )) ||
    fail "VANTEL_WEB_PORT must be a port number from 1 to 65535, not \"$port\""

"$root/scripts/install-deps.sh" || exit 1
[ -f "$build/windows/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/windows" --target vantel -j "$(nproc)"
vantel="$build/windows/bin/vantel.exe"

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# "<process id of run.sh> <web address>" while a run.sh runs Vantel in this prefix.
session_file="$prefix/vantel-run"

# env_of <pid> <name>: a variable of the environment the process started with.
env_of() { tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | sed -n "s/^$2=//p"; }

# The process id of this prefix's wineserver, when one runs. A wineserver works in a directory
# named after its prefix's device and inode numbers.
prefix_server() {
    local dir p
    dir="server-$(stat -c %D "$prefix")-$(printf %x "$(stat -c %i "$prefix")")"
    for p in /proc/[0-9]*; do
        [[ "$(cat "$p/comm" 2>/dev/null)" == wineserver* ]] || continue
        [ "$(basename "$(readlink "$p/cwd")")" = "$dir" ] && { echo "${p#/proc/}"; return; }
    done
    return 0
}

vantel_runs() {  # a vantel.exe of this prefix runs
    local p
    for p in /proc/[0-9]*; do
        [ "$(cat "$p/comm" 2>/dev/null)" = vantel.exe ] &&
            [ "$(env_of "${p#/proc/}" WINEPREFIX)" = "$prefix" ] && return 0
    done
    return 1
}

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# This prefix's Wine session runs already: start Vantel there, on its display. Wine serves one
# prefix on one display only.
server=$(prefix_server)
if [ -n "$server" ]; then
    DISPLAY=$(env_of "$server" DISPLAY)
    export DISPLAY
    display_alive "$DISPLAY" || fail "Vantel's Wine session (wineserver process $server) is on" \
        "display ${DISPLAY:-(none)}, which does not answer; end it with:" \
        "WINEPREFIX=$prefix wineserver -k"
    where="on display $DISPLAY"
    if [ -f "$session_file" ] && read -r owner address <"$session_file" &&
       [ -n "$address" ] && grep -qs run.sh "/proc/$owner/cmdline"; then
        where="$where, shown at $address"
    fi
    if vantel_runs; then
        say "Vantel already runs $where; this start brings its window forward."
    else
        say "Vantel's Wine session already runs $where; Vantel starts in it."
    fi
    exec wine "$vantel"
fi

# From here on this run starts things, and stops each of them when it ends, however it ends.
runtime="" xvfb_pid="" vnc_pid="" web_pid="" vantel_pid="" session_started="" address=""
stop_started() {
    local status=$? pid
    set +e
    if [ -n "$session_started" ]; then
        rm -f "$session_file"
        wineserver -k 2>/dev/null
        wineserver -w
        [ -n "$vantel_pid" ] && wait "$vantel_pid" 2>/dev/null
    fi
    [ -n "$web_pid" ] && kill -- "-$web_pid" 2>/dev/null
    for pid in $web_pid $vnc_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    [ -n "$runtime" ] && rm -rf "$runtime"
    exit "$status"
}
trap stop_started EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if ! display_alive "${DISPLAY:-}"; then
    ! port_in_use "$port" ||
        fail "port $port on localhost is in use; choose a free one with VANTEL_WEB_PORT=<port> $0"
    runtime=$(mktemp -d "${TMPDIR:-/tmp}/vantel-run.XXXXXX")
    start_xvfb "$runtime/xvfb.log" ||
        fail_with_log "the virtual display did not come up" "$runtime/xvfb.log"
    export DISPLAY=$xvfb_display
    # The VNC server listens on a socket file only, no network port; the web page reaches it.
    x11vnc -display "$DISPLAY" -unixsock "$runtime/vnc.sock" -rfbport 0 -noipv6 \
           -forever -shared -nopw >"$runtime/x11vnc.log" 2>&1 &
    vnc_pid=$!
    wait_for 10 "$vnc_pid" test -S "$runtime/vnc.sock" ||
        fail_with_log "the VNC server did not start" "$runtime/x11vnc.log"
    # In a process group of its own: websockify serves each connection from a forked copy of
    # itself, and ending the group ends those too.
    setsid websockify --web /usr/share/novnc --unix-target="$runtime/vnc.sock" "127.0.0.1:$port" \
           >"$runtime/websockify.log" 2>&1 &
    web_pid=$!
    wait_for 10 "$web_pid" port_in_use "$port" ||
        fail_with_log "the web page could not listen on localhost:$port" "$runtime/websockify.log"
    address="http://localhost:$port/vnc.html?autoconnect=true&resize=scale"
else
    say "Vantel starts in a Wine desktop window on your display $DISPLAY."
fi

session_started=1
"$root/scripts/wine-prefix.sh" "$prefix" with-taskbar
wine "$vantel" &
vantel_pid=$!
echo "$$ $address" >"$session_file"
[ -z "$address" ] ||
    say "open $address in a web browser to see Vantel on the virtual display $DISPLAY" \
        "(from another machine: ssh -N -L $port:127.0.0.1:$port $(id -un)@$(hostname)," \
        "then the same address there)"
status=0
wait "$vantel_pid" || status=$?
vantel_pid=""
say "Vantel ended; stopping what this run started."
exit "$status"
