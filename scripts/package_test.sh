#!/usr/bin/env bash
# Builds the Debian package, checks it (lintian: no errors; the desktop entry and
# the metainfo validate), installs it with apt-get (which pulls its dependencies),
# runs the installed watchdesk against camsim in a virtual X server (it signs in
# to the demo account and plays a camera, keeping its files in the user's own
# folder), then removes the package and checks that none of its files are left.
# Needs root or sudo: it installs and removes a package of the system.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

BUILD_DIR="$build" "$root/scripts/package.sh"
deb="$(ls "$build"/watchdesk_*.deb)"

fail() { echo "package_test: $*" >&2; exit 1; }

# Warnings are listed (and explained in the README); errors fail.
lintian --allow-root --tag-display-limit 0 "$deb" | tee "$build/lintian.txt"
if grep -q '^E:' "$build/lintian.txt"; then
    fail "lintian found errors"
fi

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb"
dpkg -L watchdesk > "$build/installed-files.txt"
desktop-file-validate /usr/share/applications/watchdesk.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.orvanta.watchdesk.metainfo.xml
[ -x /usr/bin/watchdesk ] || fail "no watchdesk command"

# A user of our own: a fresh home, started from a folder the program must not write to.
scratch="$(mktemp -d)"
trap 'kill "${camsim_pid:-0}" 2>/dev/null || true; rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/.local/share" XDG_CACHE_HOME="$scratch/home/.cache"
export XDG_CONFIG_HOME="$scratch/home/.config" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$scratch/cwd"
chmod 700 "$XDG_RUNTIME_DIR"
userdir="$XDG_DATA_HOME/watchdesk"
mkdir -p "$userdir"
# camsim writes the user's working files (service address, remembered demo
# account); it offers no newer version, so no question waits at the start.
echo '{"version": "0.0.0"}' > "$scratch/camsim.json"
"$build/bin/camsim" --config "$scratch/camsim.json" --workdir "$userdir" --quiet 2> "$scratch/camsim.txt" &
camsim_pid=$!
for _ in $(seq 100); do
    grep -q "control on port" "$scratch/camsim.txt" && break
    sleep 0.2
done
grep -q "control on port" "$scratch/camsim.txt" || fail "camsim did not start: $(cat "$scratch/camsim.txt")"

cd "$scratch/cwd"
xvfb-run -a -s "-screen 0 1600x900x24" "$root/scripts/package_smoke.sh" "$userdir" "$scratch"
cd "$root"

[ -z "$(ls -A "$scratch/cwd")" ] || fail "files written to the current folder: $(ls -A "$scratch/cwd")"
[ "$(stat -c %a "$userdir")" = 700 ] || fail "the user's folder is not owner-only"
for file in OrvantaClient.ini orvanta_client_log.txt; do
    [ -f "$userdir/$file" ] || fail "no $file in the user's folder"
done

DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq watchdesk
while read -r path; do
    if [ -f "$path" ] || [ -L "$path" ]; then
        fail "left after removal: $path"
    fi
done < "$build/installed-files.txt"
[ ! -e /usr/lib/watchdesk ] || fail "left after removal: /usr/lib/watchdesk"
echo "package_test: the package installs, runs, and leaves nothing behind"
