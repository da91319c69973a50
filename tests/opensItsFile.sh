#!/bin/sh
# tallowick FILE opens FILE at start: the window puts it in the recent files
# at once, which the settings file then holds. Prints how many lines of the
# settings name the file (1 when it was opened), then ends the window.
#   opensItsFile.sh TALLOWICK IMAGE
folder=$(mktemp -d) || exit 1
trap 'rm -rf "$folder"' EXIT
cp "$2" "$folder/game.nes"
XDG_CONFIG_HOME=$folder XDG_RUNTIME_DIR=$folder QT_QPA_PLATFORM=offscreen "$1" "$folder/game.nes" \
    >/dev/null 2>&1 &
window=$!
for _ in $(seq 100); do
    grep -qs game.nes "$folder"/*/*.conf && break
    sleep 0.1
done
kill "$window"
wait "$window" 2>/dev/null
grep -hc game.nes "$folder"/*/*.conf
