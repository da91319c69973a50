#!/bin/sh
# tallowick FILE opens FILE at start: the window puts it in the recent files
# at once, which the settings file then holds. Given two files (after --,
# which only ends the options), it opens the first only. Prints how many
# lines of the settings name each file (1, then 0), then ends the window.
#   opensItsFile.sh TALLOWICK IMAGE
folder=$(mktemp -d) || exit 1
trap 'rm -rf "$folder"' EXIT
cp "$2" "$folder/game.nes"
cp "$2" "$folder/other.nes"
XDG_CONFIG_HOME=$folder XDG_RUNTIME_DIR=$folder QT_QPA_PLATFORM=offscreen "$1" -- "$folder/game.nes" \
    "$folder/other.nes" >/dev/null 2>&1 &
window=$!
for _ in $(seq 100); do
    grep -qs game.nes "$folder"/*/*.conf && break
    sleep 0.1
done
# A second file would be opened right after the first.
sleep 0.5
kill "$window"
wait "$window" 2>/dev/null
grep -hc game.nes "$folder"/*/*.conf
grep -hc other.nes "$folder"/*/*.conf
