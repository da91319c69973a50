#!/usr/bin/env bash
# Measures tallowick-cli over a collection, side by side in one run, warm
# cache, median of several interleaved runs:
#   - the floor: bench/ioFloor.c walks the folder and opens, reads 16 bytes
#     of and closes every image, on one thread;
#   - `file -b` over the same images (one process for all of them, through
#     xargs);
#   - `tallowick-cli info --json --no-hashes FOLDER` (reads the headers only);
#   - `tallowick-cli info --json FOLDER` (reads and hashes every byte, which
#     neither the floor nor `file` does).
# and prints the ratios against the goals: at least 3x faster than `file -b`
# and within 1.5x of the floor. Not a test: it only reports.
#
#   bash bench/cli.sh          (bench/run.sh calls it last)
#
# Environment: BENCH_BUILD_DIR (default: build-bench in the project root),
# BENCH_CLI_IMAGES (10000), BENCH_CLI_RUNS (7).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-bench}
images=${BENCH_CLI_IMAGES:-10000}
runs=${BENCH_CLI_RUNS:-7}

for tool in cmake cc file xargs find awk sort perl; do
    command -v "$tool" >/dev/null || { echo "cli.sh: $tool is missing" >&2; exit 2; }
done

. "$root/bench/common.sh"
releaseBuild "$build" "$root" tallowick-cli
cli=$build/cli/tallowick-cli

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tallowick-cli-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cc -O2 -o "$scratch/ioFloor" "$root/bench/ioFloor.c"
floor=$scratch/ioFloor
folder=$scratch/images
echo "== making $images images"
bash "$root/bench/makeImages.sh" "$folder" "$images"
find "$folder" -type f -iname '*.nes' -print0 | sort -z >"$scratch/list"
# As few `file` processes as the system allows: one, for 10,000 short names.
commandMax=$(xargs -0 --show-limits </dev/null 2>&1 |
    sed -n 's/^Maximum length of command we could actually use: //p')
invocations=$(xargs -0 -s "$commandMax" echo <"$scratch/list" | wc -l)

# Every side must have seen every image.
[ "$("$floor" "$folder")" = "$images" ] || { echo "cli.sh: ioFloor missed images" >&2; exit 1; }
[ "$("$cli" info --json --no-hashes "$folder" | wc -l)" = "$images" ] ||
    { echo "cli.sh: tallowick-cli missed images" >&2; exit 1; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "nan"; else printf "%.2f", a / b }'; }
meets() { awk -v v="$1" -v op="$2" -v goal="$3" \
    'BEGIN { ok = (op == "<=") ? v <= goal : v >= goal; print ok ? "yes" : "NO" }'; }

# Appends one run's wall time in microseconds to FILE; output goes nowhere.
timeOnce() {
    local file=$1 t0 t1
    shift
    t0=${EPOCHREALTIME//[.,]/}
    "$@" >/dev/null
    t1=${EPOCHREALTIME//[.,]/}
    echo $((10#$t1 - 10#$t0)) >>"$file"
}
runFloor() { "$floor" "$folder"; }
runFile() { xargs -0 -s "$commandMax" file -b <"$scratch/list"; }
runFast() { "$cli" info --json --no-hashes "$folder"; }
runHashes() { "$cli" info --json "$folder"; }
sides=(runFloor runFile runFast runHashes)

echo "== $runs interleaved runs of each, after one warm-up run"
for side in "${sides[@]}"; do
    "$side" >/dev/null
    : >"$scratch/$side"
done
for _ in $(seq "$runs"); do
    for side in "${sides[@]}"; do
        timeOnce "$scratch/$side" "$side"
    done
done
ms() { median <"$scratch/$1" | awk '{ printf "%.1f", $1 / 1000 }'; }
floorMs=$(ms runFloor)
fileMs=$(ms runFile)
fastMs=$(ms runFast)
hashMs=$(ms runHashes)

echo
echo "== results: $images images of $(stat -c %s "$folder/000/image-00000.nes") bytes," \
    "$(nproc) cores, median of $runs runs, warm cache"
echo "   (file -b ran as $invocations process(es) through xargs)"
printf '%-44s %9s %10s %12s\n' "" "ms" "/ floor" "file -b /"
printf '%-44s %9s %10s %12s\n' "ioFloor: open, read 16 bytes, close" "$floorMs" 1.00 \
    "$(ratio "$fileMs" "$floorMs")"
printf '%-44s %9s %10s %12s\n' "file -b" "$fileMs" "$(ratio "$fileMs" "$floorMs")" 1.00
for side in fast hash; do
    if [ $side = fast ]; then name="info --json --no-hashes"; value=$fastMs
    else name="info --json (hashes every byte)"; value=$hashMs; fi
    overFloor=$(ratio "$value" "$floorMs")
    underFile=$(ratio "$fileMs" "$value")
    printf '%-44s %9s %10s %12s   within 1.5x of the floor: %s; 3x faster than file -b: %s\n' \
        "tallowick-cli $name" "$value" "$overFloor" "$underFile" \
        "$(meets "$overFloor" "<=" 1.5)" "$(meets "$underFile" ">=" 3)"
done
