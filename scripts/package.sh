#!/usr/bin/env bash
# Builds the Debian package of watchdesk from the build: build/watchdesk_VERSION_ARCH.deb
# (or in BUILD_DIR). The package installs under /usr whatever the build's prefix.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
BUILD_DIR="$build" "$root/scripts/build.sh"
rm -f "$build"/watchdesk_*.deb
(cd "$build" && cpack -G DEB)
ls -l "$build"/watchdesk_*.deb
