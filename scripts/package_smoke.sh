#!/usr/bin/env bash
# Inside a virtual X server: starts the installed watchdesk, which signs in with
# the remembered demo account, opens the first camera of the side bar with a click,
# and waits until it plays; then ends it as the desktop would (SIGTERM).
set -euo pipefail
userdir="$1"
scratch="$2"
log="$userdir/orvanta_client_log.txt"

/usr/bin/watchdesk > "$scratch/watchdesk.out" 2>&1 &
pid=$!
wait_for() { # pattern seconds
    for _ in $(seq $(( $2 * 5 ))); do
        grep -q -e "$1" "$log" 2>/dev/null && return 0
        kill -0 "$pid" 2>/dev/null || { echo "watchdesk ended early" >&2; cat "$scratch/watchdesk.out" >&2; return 1; }
        sleep 0.2
    done
    echo "package_smoke: no \"$1\" in the log within $2 s" >&2
    tail -20 "$log" >&2 || true
    return 1
}
# Signed in: the roster arrives and the side bar shows the cameras.
wait_for "Preview updated" 60
# The first card of the side bar (its picture), in the window's default place.
xdotool mousemove 198 165 click 1
wait_for "-> \"Playing\"" 60
import -window root "$scratch/screen.png" 2>/dev/null || true
kill -TERM "$pid"
wait "$pid" || true
echo "package_smoke: signed in and played a camera"
