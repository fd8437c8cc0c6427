#!/usr/bin/env bash
# Installs the Debian packages the editor needs to build, test and run; quiet when all are there.
# lilypond is for the tests and benchmarks only (about 24 MB of packages): its musicxml2ly
# reads back the MusicXML the editor exports.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev libgif-dev libjpeg-dev zlib1g-dev libzip-dev
    lilypond
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 python3-fonttools fonts-dejavu-core
    fonts-liberation2 fonts-wqy-microhei fontconfig
    xvfb xauth
    qt6-translations-l10n
    poppler-utils desktop-file-utils shared-mime-info libxml2-utils
    xdotool x11-utils imagemagick openbox
    libfluidsynth-dev timgm6mb-soundfont python3-numpy
    qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools dpkg-dev appstream
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then sudo="sudo"; else
        echo "These Debian packages are missing and this is not root: ${missing[*]}" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
