#!/usr/bin/env bash
# Where the CPU goes with the client on a grid of cameras: bench_client on one grid
# while perf samples the whole machine over the measured stretch, then the share
# of each program and library, and the client's hottest functions.
#   bench/client_cameras.sh [CAMERAS] [SECONDS]        default: 16 cameras, 30 s
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bench="${BUILD_DIR:-$root/build}/bin/bench_client"
cameras="${1:-16}"
seconds="${2:-30}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$bench" "$seconds" "$cameras" > "$out/bench.txt" 2>&1 &
pid=$!
for _ in $(seq 1 1200); do
    grep -q "measuring" "$out/bench.txt" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
sample=$(( seconds > 17 ? 15 : seconds - 2 ))
perf record -a -F 499 -o "$out/perf.data" -- sleep "$sample" > /dev/null 2>&1
wait "$pid" || true
cat "$out/bench.txt"
echo
echo "Share of all samples (both cores, idle included as swapper) over $sample s:"
perf report -i "$out/perf.data" --sort comm,dso --stdio 2> /dev/null | grep -v '^#' | grep -v '^$' | head -25
echo
echo "The client's hottest functions:"
perf report -i "$out/perf.data" --comm bench_client --sort dso,sym --stdio 2> /dev/null | grep -v '^#' | grep -v '^$' | head -10
