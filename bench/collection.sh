#!/usr/bin/env bash
# Measures the collection window listing 10,000 images (File > Open
# Folder..., no header database) against `tallowick-cli info --no-hashes`
# over the same folder, side by side in one run, warm cache, median of
# several interleaved runs of each whole process. Prints the ratio against
# the goal (at most 1.5) and when the window's first rows showed, against
# the end of its listing. The images come from bench/makeImages.sh.
#
#   bash bench/collection.sh
#
# Environment: BENCH_BUILD_DIR (default: build-bench in the project root),
# BENCH_CLI_IMAGES (10000), BENCH_CLI_RUNS (7).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-bench}
images=${BENCH_CLI_IMAGES:-10000}
runs=${BENCH_CLI_RUNS:-7}

. "$root/bench/common.sh"
releaseBuild "$build" "$root" tallowick-cli benchCollection
cli=$build/cli/tallowick-cli
window=$build/bench/benchCollection

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tallowick-collection-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -m 0700 "$scratch/runtime" "$scratch/config"
export XDG_RUNTIME_DIR=$scratch/runtime XDG_CONFIG_HOME=$scratch/config
export QT_QPA_PLATFORM=offscreen
folder=$scratch/images
echo "== making $images images"
bash "$root/bench/makeImages.sh" "$folder" "$images"

# Both sides must list every image.
[ "$("$cli" info --no-hashes --brief "$folder" | wc -l)" = "$images" ] ||
    { echo "collection.sh: info missed images" >&2; exit 1; }
read -r _ _ listed < <("$window" "$folder")
[ "$listed" = "$images" ] || { echo "collection.sh: the window listed $listed" >&2; exit 1; }

timeOnce() {
    local file=$1 t0 t1
    shift
    t0=${EPOCHREALTIME//[.,]/}
    "$@" >"$scratch/last"
    t1=${EPOCHREALTIME//[.,]/}
    echo $((10#$t1 - 10#$t0)) >>"$file"
}
runInfo() { "$cli" info --no-hashes "$folder"; }
runWindow() { "$window" "$folder"; }

echo "== $runs interleaved runs of each, after one warm-up run"
for side in runInfo runWindow; do
    "$side" >/dev/null
    : >"$scratch/$side"
done
: >"$scratch/first" && : >"$scratch/listed"
for _ in $(seq "$runs"); do
    timeOnce "$scratch/runInfo" runInfo
    timeOnce "$scratch/runWindow" runWindow
    read -r first all _ <"$scratch/last"
    echo "$first" >>"$scratch/first"
    echo "$all" >>"$scratch/listed"
done
infoMs=$(median <"$scratch/runInfo" | awk '{ printf "%.1f", $1 / 1000 }')
windowMs=$(median <"$scratch/runWindow" | awk '{ printf "%.1f", $1 / 1000 }')
firstMs=$(median <"$scratch/first")
listedMs=$(median <"$scratch/listed")
ratio=$(awk -v a="$windowMs" -v b="$infoMs" 'BEGIN { printf "%.2f", a / b }')
ok=$(awk -v r="$ratio" 'BEGIN { print r <= 1.5 ? "yes" : "NO" }')
early=$(awk -v f="$firstMs" -v l="$listedMs" 'BEGIN { print f < l ? "yes" : "NO" }')
echo
echo "== results: $images images, $(nproc) cores, median of $runs runs, warm cache"
printf '%-44s %9s ms\n' "tallowick-cli info --no-hashes" "$infoMs" \
    "collection window (whole process)" "$windowMs"
echo "window / info: $ratio (goal: at most 1.5): $ok"
echo "first rows shown at $firstMs ms, every image listed at $listedMs ms: first rows before the end: $early"
