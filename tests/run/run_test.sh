#!/usr/bin/env bash
# Runs scripts/run.sh as a newcomer would on a machine without a display: the web page answers on
# localhost, Vantel's main window exists on the virtual display, a second run.sh starts nothing
# and brings that window forward, Exit ends run.sh with status 0 and none of the processes it
# started is left. Bad web ports are refused with a clear message before anything starts.
# run.sh uses this tree's build and a copy of its Wine prefix.
# Usage: run_test.sh <windows build tree> <source tree>
set -uo pipefail
tree=$1
source=$2
# shellcheck source-path=SCRIPTDIR source=../../scripts/display.sh
. "$source/scripts/display.sh"
failures=0
check() {  # check <description> <command...>
    local what=$1; shift
    if "$@" >/dev/null 2>&1; then echo "ok: $what"
    else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

"$source/scripts/wine-session.sh" "$tree" || exit 1
work=$(mktemp -d)
first=""
finish() {
    if [ -n "$first" ] && process_running "$first"; then kill "$first"; wait "$first"; fi
    rm -rf "$work"
}
trap finish EXIT

# The copy shares the files that Wine only reads with the tree's prefix (hard links) and has its
# own registry files, which Wine rewrites in place. Without Vantel's options it is a newcomer's.
cp -al "$tree/wineprefix" "$work/prefix"
for reg in system.reg user.reg userdef.reg; do
    cp --remove-destination "$tree/wineprefix/$reg" "$work/prefix/$reg"
done
sed -i '/^\[Software\\\\Norvatech\\\\Vantel\]/,/^$/d' "$work/prefix/system.reg"
mkdir "$work/build"
ln -s "$tree" "$work/build/windows"

port=""
for candidate in $(shuf -i 20000-29999 -n 20); do
    (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null || { port=$candidate; break; }
done

run_sh() {  # run_sh <tag> <web port> <prefix>: run.sh with no display; its processes carry the tag
    # (with this test's pid: other runs of this test may be under way)
    env -u DISPLAY VANTEL_RUN_TEST="$$-$1" VANTEL_WEB_PORT="$2" VANTEL_PREFIX="$3" \
        VANTEL_BUILD="$work/build" bash "$source/scripts/run.sh"
}
processes_of() {  # "<pid> <name>" of each running process that carries the tag
    local p
    for p in /proc/[0-9]*; do
        grep -qz "^VANTEL_RUN_TEST=$$-$1\$" "$p/environ" 2>/dev/null &&
            process_running "${p#/proc/}" && echo "${p#/proc/} $(cat "$p/comm")"
    done
}
web_page() {
    (exec 3<>"/dev/tcp/127.0.0.1/$port" && printf 'GET /vnc.html HTTP/1.0\r\n\r\n' >&3 && cat <&3)
}
vnc_handshake() {  # as the page does through its WebSocket: the VNC server greets us and, given
                   # our protocol version, offers its security types (one: none)
    (exec 3<>"/dev/tcp/127.0.0.1/$port" &&
     printf '%s\r\n' 'GET /websockify HTTP/1.1' 'Host: localhost' 'Upgrade: websocket' \
            'Connection: Upgrade' 'Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==' \
            'Sec-WebSocket-Version: 13' 'Sec-WebSocket-Protocol: binary' '' >&3 &&
     timeout 5 grep -aq 'RFB 003' <&3 &&
     printf '\x82\x8c\0\0\0\0RFB 003.008\n' >&3 &&  # a binary frame, masked with zeros
     timeout 5 head -c 4 <&3 | od -An -tx1 | grep -q '82 02 01 01')
}

run_sh first "$port" "$work/prefix" >"$work/first.log" 2>&1 &
first=$!
wait_for 60 "$first" grep -q '^run: open ' "$work/first.log"
display=$(sed -n 's/^run: open .* on the virtual display \(:[0-9]*\) .*/\1/p' "$work/first.log")
check "run.sh names the address of the web page" \
    grep -q "^run: open http://localhost:$port/vnc.html" "$work/first.log"
check "the web page answers on localhost" grep -q '<title>noVNC</title>' <(web_page)
check "the web page reaches the display's VNC server" vnc_handshake

probe() {
    WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$display" \
        wine "$tree/bin/window_probe.exe" "$@"
}
check "Vantel's main window exists on the virtual display $display" probe wait VantelMainDialog 30
started=$(processes_of first)
for name in Xvfb x11vnc websockify wineserver vantel.exe explorer.exe; do
    check "run.sh runs $name" grep -q " $name" <<<"$started"
done

second=$(run_sh second "$port" "$work/prefix" 2>&1)
status=$?
check "a second run.sh ends with status 0" test "$status" -eq 0
echo "$second"
check "it says that Vantel already runs, and where" \
    grep -q "Vantel already runs on display $display, shown at http://localhost:$port/" <<<"$second"
check "the running Vantel shows its main window" probe visible VantelMainDialog 10
check "the second run.sh left nothing running" test -z "$(processes_of second)"

# Refused before anything starts: a port that is no number, and the port the first run serves.
for bad in "abc|VANTEL_WEB_PORT must be a port number" "$port|port $port on localhost is in use"; do
    output=$(run_sh "bad-${bad%%|*}" "${bad%%|*}" "$work/other-prefix" 2>&1)
    status=$?
    check "web port ${bad%%|*}: refused" test "$status" -ne 0
    check "web port ${bad%%|*}: says \"${bad#*|}\"" grep -q "${bad#*|}" <<<"$output"
    check "web port ${bad%%|*}: nothing left running" test -z "$(processes_of "bad-${bad%%|*}")"
done

check "Exit (command 1) closes Vantel's main window" probe exit VantelMainDialog 20
for _ in $(seq 300); do process_running "$first" || break; sleep 0.1; done
status="still running"
process_running "$first" || { wait "$first"; status=$?; first=""; }
cat "$work/first.log"
check "run.sh ends with status 0 after Exit" test "$status" -eq 0
left=$(processes_of first)
check "run.sh left none of its processes behind" test -z "$left"
[ -z "$left" ] || echo "left behind: $left"

echo "run.sh test: $failures failed"
[ "$failures" -eq 0 ]
