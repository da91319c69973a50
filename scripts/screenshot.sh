#!/usr/bin/env bash
# Remakes docs/main-window.png and docs/format-window.png: the windows with
# a sample loaded (a copy of it), on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target screenshot >/dev/null
runtime=$(mktemp -d)
chmod 700 "$runtime"
XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 800x600x24" \
    ./build/tools/screenshot docs "${1:-samples/trainer.nes}"
echo "docs/main-window.png docs/format-window.png"
