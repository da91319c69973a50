#!/usr/bin/env bash
# Remakes the pictures in docs/: the windows with copies of the samples
# loaded, on a virtual X display. The settings of this run (the header
# database chosen) live in a temporary home, not in yours.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target screenshot >/dev/null
home=$(mktemp -d)
chmod 700 "$home"
trap 'rm -rf "$home"' EXIT
shoot() {
    HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home" \
        xvfb-run -a -s "-screen 0 $1x24" ./build/tools/screenshot docs samples "${@:2}" >/dev/null
}
shoot 1024x768
# 150 % on a 1366x768 screen, a dark colour scheme, a large desktop font.
QT_SCALE_FACTOR=1.5 shoot 1366x768 scaled
shoot 1024x768 dark
shoot 1366x768 large
ls docs/*.png
