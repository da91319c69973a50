#!/usr/bin/env bash
# Measures `tallowick-cli fix --db DB --dry-run` against `tallowick-cli info
# --db DB` over the same images, side by side in one run, warm cache, median
# of several interleaved runs, and prints the ratio against the goal: the
# fix's dry run within 1.5x of info. Both read and hash every image and look
# it up; the fix also plans each header and makes the checked write's checks.
# The images come from bench/makeImages.sh, the database from
# bench/fix-database.pl (half of the images, each with a header to fix).
#
#   bash bench/fix.sh
#
# Environment: BENCH_BUILD_DIR (default: build-bench in the project root),
# BENCH_CLI (an existing tallowick-cli to measure instead of building one),
# BENCH_CLI_IMAGES (10000), BENCH_CLI_RUNS (7).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-bench}
images=${BENCH_CLI_IMAGES:-10000}
runs=${BENCH_CLI_RUNS:-7}

. "$root/bench/common.sh"
if [ -n "${BENCH_CLI:-}" ]; then
    cli=$BENCH_CLI
else
    releaseBuild "$build" "$root" tallowick-cli
    cli=$build/cli/tallowick-cli
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tallowick-fix-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
folder=$scratch/images
database=$scratch/nes20db.xml
echo "== making $images images and their database"
bash "$root/bench/makeImages.sh" "$folder" "$images"
"$cli" info --json "$folder" | perl "$root/bench/fix-database.pl" >"$database"

# Both sides must have seen every image, and the fix must have found half.
[ "$("$cli" info --db "$database" "$folder" | grep -c '^  Database')" = "$images" ] ||
    { echo "fix.sh: info missed images" >&2; exit 1; }
summary=$("$cli" fix --db "$database" --dry-run "$folder" | tail -n 1)
echo "   fix --dry-run: $summary"
case $summary in
"$images images: $((images / 2)) would be fixed, "*) ;;
*) echo "fix.sh: the fix did not find every second image" >&2; exit 1 ;;
esac

timeOnce() {
    local file=$1 t0 t1
    shift
    t0=${EPOCHREALTIME//[.,]/}
    "$@" >/dev/null
    t1=${EPOCHREALTIME//[.,]/}
    echo $((10#$t1 - 10#$t0)) >>"$file"
}
runInfo() { "$cli" info --db "$database" "$folder"; }
runFix() { "$cli" fix --db "$database" --dry-run "$folder"; }

echo "== $runs interleaved runs of each, after one warm-up run"
for side in runInfo runFix; do
    "$side" >/dev/null
    : >"$scratch/$side"
done
for _ in $(seq "$runs"); do
    timeOnce "$scratch/runInfo" runInfo
    timeOnce "$scratch/runFix" runFix
done
infoMs=$(median <"$scratch/runInfo" | awk '{ printf "%.1f", $1 / 1000 }')
fixMs=$(median <"$scratch/runFix" | awk '{ printf "%.1f", $1 / 1000 }')
ratio=$(awk -v a="$fixMs" -v b="$infoMs" 'BEGIN { printf "%.2f", a / b }')
ok=$(awk -v r="$ratio" 'BEGIN { print r <= 1.5 ? "yes" : "NO" }')
echo
echo "== results: $images images, $(nproc) cores, median of $runs runs, warm cache"
printf '%-40s %9s ms\n' "info --db" "$infoMs" "fix --db --dry-run" "$fixMs"
echo "fix --dry-run / info: $ratio (goal: at most 1.5): $ok"
