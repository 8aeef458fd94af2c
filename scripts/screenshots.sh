#!/usr/bin/env bash
# Regenerates the screenshots of the README (docs/*.png): the end-to-end suite
# drives the real client against camsim inside a virtual X server and saves the
# main views as it passes them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

mkdir -p "$root/docs"
WATCHDESK_SCREENSHOTS="$root/docs" xvfb-run -a -s "-screen 0 1600x1000x24" \
    "$build/bin/tst_endtoend"
ls -l "$root/docs"/*.png
