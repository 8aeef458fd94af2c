#!/usr/bin/env bash
# Builds the Debian package of watchdesk: build/watchdesk_VERSION_ARCH.deb (or in
# BUILD_DIR). The build is configured for /usr, where the package installs it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

"$root/scripts/setup.sh"
BUILD_DIR="$build" "$root/scripts/build.sh" -DCMAKE_INSTALL_PREFIX=/usr
rm -f "$build"/watchdesk_*.deb
(cd "$build" && cpack -G DEB)
ls -l "$build"/watchdesk_*.deb
