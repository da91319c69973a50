#!/usr/bin/env bash
# The image check against the standard tools, side by side in one run:
#   - hashing a 64 MiB image of random data (CRC-32 and SHA-1 of the file,
#     of its data, PRG-ROM and CHR-ROM) against `rhash --crc32 --sha1` on
#     the same file; goal: at most 2.5x rhash
#   - loading a 10 MB header database in the nes20db.xml layout, made by
#     bench/make-database.pl, against `xmllint --noout` on the same file;
#     goal: at most 2x xmllint
# Each pair runs interleaved after warm-up (so both read from the page
# cache), and the medians of the wall times are compared. Not a test: it
# only reports. bench/run.sh calls it last; it also runs alone:
#
#   bash bench/checks.sh
#
# Environment: BENCH_BUILD_DIR (as bench/run.sh), BENCH_CHECK_RUNS (15),
# BENCH_DATABASE_GAMES (20000, about 10 MB).
# Every file it makes lives in a temporary folder that is removed at the end.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-bench}
runs=${BENCH_CHECK_RUNS:-15}
games=${BENCH_DATABASE_GAMES:-20000}

for tool in cmake awk sort perl rhash xmllint; do
    command -v "$tool" >/dev/null || { echo "checks.sh: $tool is missing (scripts/setup.sh)" >&2; exit 2; }
done

. "$root/bench/common.sh"
releaseBuild "$build" "$root" benchHashImage benchLoadDatabase
hasher=$build/bench/benchHashImage
loader=$build/bench/benchLoadDatabase

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tallowick-checks.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# NES 2.0: 3072 PRG-ROM pages (48 MiB) and 2048 CHR-ROM pages (16 MiB), the
# page counts' high nibbles in byte 9.
image=$scratch/random-64m.nes
printf '%b' 'NES\x1a\x00\x00\x00\x08\x00\x8c\x00\x00\x00\x00\x00\x00' >"$image"
head -c 64M /dev/urandom >>"$image"
database=$scratch/nes20db-$games.xml
perl "$root/bench/make-database.pl" "$games" >"$database"

# Both sides must have done the same work.
ours=$("$hasher" "$image")
crc=$(rhash --printf='%C' --crc32 "$image")
sha=$(tail -c +17 "$image" | rhash --printf="%H" --sha1 -)
if [ "$ours" != "$crc $sha" ]; then
    echo "checks.sh: the hashes differ: tallowick '$ours', rhash '$crc $sha'" >&2
    exit 1
fi
xmllint --noout "$database"
echo "database: $("$loader" "$database"), $(awk -v b="$(stat -c %s "$database")" 'BEGIN { printf "%.1f", b / 1e6 }') MB"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "nan"; else printf "%.2f", a / b }'; }
verdict() { awk -v r="$1" -v t="$2" 'BEGIN { print (r <= t) ? "within " t "x" : "ABOVE " t "x" }'; }

# Runs a command once and appends its wall time in milliseconds to a file.
timeOnce() {
    local file=$1 t0 t1
    shift
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f\n", (b - a) / 1e6 }' >>"$file"
}

echo "== $runs runs each, interleaved, after warm-up"
for _ in 1 2 3; do
    "$hasher" "$image" >/dev/null
    rhash --crc32 --sha1 "$image" >/dev/null
    "$loader" "$database" >/dev/null
    xmllint --noout "$database"
done
for _ in $(seq "$runs"); do
    timeOnce "$scratch/hash-t" "$hasher" "$image"
    timeOnce "$scratch/hash-r" rhash --crc32 --sha1 "$image"
    timeOnce "$scratch/load-t" "$loader" "$database"
    timeOnce "$scratch/load-x" xmllint --noout "$database"
done
hashOurs=$(median <"$scratch/hash-t")
hashRhash=$(median <"$scratch/hash-r")
loadOurs=$(median <"$scratch/load-t")
loadXmllint=$(median <"$scratch/load-x")
hashRatio=$(ratio "$hashOurs" "$hashRhash")
loadRatio=$(ratio "$loadOurs" "$loadXmllint")

echo
echo "== results (Release, median wall time in ms)"
printf '%-40s %10s %10s %7s\n' "" "tallowick" "yardstick" "ratio"
printf '%-40s %10s %10s %7s  %s\n' "hash a 64 MiB image (rhash)" \
    "$hashOurs" "$hashRhash" "$hashRatio" "$(verdict "$hashRatio" 2.5)"
printf '%-40s %10s %10s %7s  %s\n' "load a 10 MB header database (xmllint)" \
    "$loadOurs" "$loadXmllint" "$loadRatio" "$(verdict "$loadRatio" 2)"
