#!/usr/bin/env bash
# Installs what Tallowick needs, builds it and starts it. Without a display
# it starts the window on a virtual one (Xvfb), saves a screenshot of it and
# runs until you stop it with Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tallowick >/dev/null
echo "Built build/app/tallowick"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/app/tallowick
fi

shot="$(mktemp -d)/tallowick.png"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(dirname "$shot")
    chmod 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR
fi
echo "No display here: starting Tallowick on a virtual display (Xvfb); stop it with Ctrl+C."
exec xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    ./build/app/tallowick &
    app=$!
    trap "kill $app 2>/dev/null" INT TERM
    sleep 2
    import -window root "$1" && echo "Screenshot of the window: $1"
    wait $app' _ "$shot"
