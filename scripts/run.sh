#!/usr/bin/env bash
# Installs what is missing, builds, starts camsim (the simulated service) with a
# ready working folder, and starts watchdesk in it, signed in to the demo
# account. camsim stops when watchdesk ends.
#   WATCHDESK_WORKDIR  working folder (default: run/ beside the sources)
#   CAMSIM_PORT_BASE   first port of camsim (default 18480)
#   CAMSIM_ARGS        more camsim arguments, e.g. "--cheap" or "--config FILE"
#   WATCHDESK_NO_CAMSIM=1  start watchdesk alone (against deployment.ini or the built-in service)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
workdir="${WATCHDESK_WORKDIR:-$root/run}"

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

mkdir -p "$workdir"
cd "$workdir"

camsim_pid=""
cleanup() {
    if [ -n "$camsim_pid" ]; then
        kill "$camsim_pid" 2>/dev/null || true
        wait "$camsim_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT INT TERM

if [ "${WATCHDESK_NO_CAMSIM:-0}" != "1" ]; then
    rm -f "$workdir/.camsim-ready"
    # shellcheck disable=SC2086
    "$build/bin/camsim" --workdir "$workdir" --port-base "${CAMSIM_PORT_BASE:-18480}" --quiet ${CAMSIM_ARGS:-} \
        2> >(tee "$workdir/camsim.log" >&2) &
    camsim_pid=$!
    # camsim writes deployment.ini once every server listens.
    for _ in $(seq 1 600); do
        if grep -q "camsim: cloud service on" "$workdir/camsim.log" 2>/dev/null; then break; fi
        if ! kill -0 "$camsim_pid" 2>/dev/null; then echo "camsim did not start" >&2; exit 1; fi
        sleep 0.1
    done
fi

run_watchdesk() {
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display found: starting watchdesk inside a virtual X server (xvfb-run)."
        xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/watchdesk" "$@"
    else
        "$build/bin/watchdesk" "$@"
    fi
}
run_watchdesk
