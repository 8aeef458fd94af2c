#!/usr/bin/env bash
# Configures and builds everything into build/ (programs land in build/bin).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
type="${BUILD_TYPE:-RelWithDebInfo}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="$type" "$@"
cmake --build "$build" -j "$(nproc)"
