#!/usr/bin/env bash
# Installs what is missing, builds, and starts watchdesk.
# The working folder (settings, log, local roster) is run/ beside the sources,
# or WATCHDESK_WORKDIR when set.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
workdir="${WATCHDESK_WORKDIR:-$root/run}"

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

mkdir -p "$workdir"
cd "$workdir"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting watchdesk inside a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/watchdesk"
fi
exec "$build/bin/watchdesk"
