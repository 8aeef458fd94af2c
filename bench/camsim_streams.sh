#!/usr/bin/env bash
# CPU cost of camsim per live stream, normal (live encoding) and cheap (pre-encoded loop).
#   bench/camsim_streams.sh [STREAMS] [SECONDS]
# Prints CPU seconds per second of wall time per stream, camsim and its ffmpeg children together.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
camsim="${BUILD_DIR:-$root/build}/bin/camsim"
streams="${1:-4}"
seconds="${2:-15}"
tick=$(getconf CLK_TCK)

# utime+stime (ticks) of a process and all its descendants that are alive now.
tree_ticks() {
    local total=0 pid
    local ticks
    for pid in $1 $(pgrep -P "$1" || true); do
        # A child may end between listing and reading.
        ticks=$(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || true)
        [ -n "$ticks" ] && total=$(( total + ticks ))
    done
    echo "$total"
}

run() {
    local mode="$1"; shift
    local dir; dir=$(mktemp -d)
    "$camsim" --workdir "$dir" --quiet "$@" 2> "$dir/camsim.log" &
    local pid=$!
    for _ in $(seq 1 600); do grep -q "cloud service on" "$dir/camsim.log" 2>/dev/null && break; sleep 0.1; done
    local base; base=$(grep -o 'http://[0-9.:]*' "$dir/camsim.log" | head -1)
    local session
    session=$(curl -s -X POST -d 'login=demo%40orvanta.example&password=demo' "$base/public/sessions" \
        | sed -E 's/.*"session_id":"([^"]+)".*/\1/')
    local before; before=$(tree_ticks "$pid")
    local start; start=$(date +%s.%N)
    local curls=()
    for i in $(seq 1 "$streams"); do
        curl -s -o /dev/null --max-time "$(( seconds + 10 ))" "$base/flv/live?server=srv-office&camera=2&q=2&sessionId=$session" &
        curls+=($!)
    done
    sleep "$seconds"
    local after; after=$(tree_ticks "$pid")
    local end; end=$(date +%s.%N)
    kill "${curls[@]}" 2>/dev/null || true
    wait "${curls[@]}" 2>/dev/null || true
    kill "$pid"; wait "$pid" 2>/dev/null || true
    rm -rf "$dir"
    awk -v m="$mode" -v t=$(( after - before )) -v hz="$tick" -v s="$start" -v e="$end" -v n="$streams" \
        'BEGIN { cpu = t / hz; wall = e - s; printf "%-7s %d streams of 640x480@25: %.3f CPU s per second per stream\n", m, n, cpu / wall / n }'
}

run normal
run cheap --cheap
