# shellcheck shell=bash
# A private X display, and the process checks it needs, for the scripts that source this file.

# display_alive <display>: succeeds when the display answers.
display_alive() { [ -n "${1:-}" ] && xdpyinfo -display "$1" >/dev/null 2>&1; }

# process_running <pid>: succeeds while the process runs (a finished child that nobody has waited
# for yet still answers kill -0).
process_running() {
    local state
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)
    [ -n "$state" ] && [ "$state" != Z ]
}

# wait_for <seconds> <pid> <command...>: waits for the command to succeed while the process runs.
wait_for() {
    local tenths=$(($1 * 10)) pid=$2
    shift 2
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        process_running "$pid" || return 1
        sleep 0.1
    done
    return 1
}

# start_xvfb <log file>: starts Xvfb as a child of the caller and waits until it accepts
# connections. Sets xvfb_display (":N") and xvfb_pid; fails when no display came up in 10 s.
# The server picks a free display number itself, so it never takes one that another program runs.
start_xvfb() {
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >"$1" 2>&1 &
    xvfb_pid=$!
    xvfb_display=""
    wait_for 10 "$xvfb_pid" test -s "$number_file" && xvfb_display=":$(head -1 "$number_file")"
    rm -f "$number_file"
    [ -n "$xvfb_display" ] && return 0
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    return 1
}
