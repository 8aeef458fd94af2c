#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the dev tools need.
# Idempotent: does nothing (and needs no network) when all of them are present.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qtbase5-dev qtmultimedia5-dev libqt5multimedia5-plugins libqt5svg5-dev
    qttools5-dev qttools5-dev-tools qttranslations5-l10n
    libvlc-dev vlc-plugin-base libvlc-bin   # libvlc-bin keeps libvlc's plug-in cache
    fonts-paratype
    ffmpeg xvfb xauth dbus
    libswscale-dev
    clang libclang-rt-dev llvm   # the sanitizer build: compiler, its runtimes, llvm-symbolizer
    dpkg-dev lintian desktop-file-utils appstream xdotool   # the Debian package and its checks
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
