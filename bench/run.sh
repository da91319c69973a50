#!/usr/bin/env bash
# Measures Tallowick against a bare Qt Widgets window, side by side in one run:
#   - wall time of a process that starts, paints the main window's first
#     frame and quits at once (the quit and clean-up after that frame add
#     a millisecond or two to both sides)
#   - peak resident memory of that same run
#   - both also for the main window's generated form alone (benchFormStart),
#     which tells the cost of the controls the first frame shows from the
#     cost of the window's own code
#   - time to load and show a header: a 40 KB image against a 1 GB sparse one
# and prints each pair with its ratio; then bench/cli.sh measures the command
# line over 10,000 images, bench/fix.sh its fix against info and
# bench/collection.sh the collection window against info. Not a test: it only reports.
#
#   bash bench/run.sh
#
# Environment: BENCH_BUILD_DIR (default: build-bench in the project root,
# which git ignores; configured here as a Release build when it is not one),
# BENCH_START_RUNS (60), BENCH_MEMORY_RUNS (15), BENCH_LOADS (1000 per run),
# BENCH_LOAD_RUNS (5).
# Every file it makes lives in a temporary folder that is removed at the end.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-bench}
startRuns=${BENCH_START_RUNS:-60}
memoryRuns=${BENCH_MEMORY_RUNS:-15}
loads=${BENCH_LOADS:-1000}
loadRuns=${BENCH_LOAD_RUNS:-5}
target=1.10

for tool in cmake awk sort truncate; do
    command -v "$tool" >/dev/null || { echo "run.sh: $tool is missing" >&2; exit 2; }
done
if [ ! -x /usr/bin/time ]; then
    echo "run.sh: GNU time (/usr/bin/time) is missing: apt-get install time" >&2
    exit 2
fi

# ---------------------------------------------------------------- build

. "$root/bench/common.sh"
releaseBuild "$build" "$root" benchTallowickStart benchBareStart benchFormStart benchLoad
bin=$build/bench
tallowick=$bin/benchTallowickStart
loader=$bin/benchLoad

# ---------------------------------------------------------------- scratch

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tallowick-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
case "$scratch" in
"$root"/samples | "$root"/samples/*)
    echo "run.sh: refusing to work inside samples/" >&2
    exit 2
    ;;
esac
mkdir -m 0700 "$scratch/runtime"
export XDG_RUNTIME_DIR=$scratch/runtime
export QT_QPA_PLATFORM=offscreen

# The header of both images: "NES" 0x1A, 2 PRG pages, 1 CHR page, no flags,
# bytes 8-15 zero (a clean header, so a load never writes to the file).
header='NES\x1a\x02\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
small=$scratch/small-40k.nes
large=$scratch/sparse-1g.nes
printf '%b' "$header" >"$small"
# 32 KB of PRG and 8 KB of CHR: a byte pattern that is not all zero.
head -c 40960 /dev/zero | tr '\0' '\252' >>"$small"
printf '%b' "$header" >"$large"
truncate -s 1G "$large"

# ---------------------------------------------------------------- helpers

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "nan"; else printf "%.3f", a / b }'; }
verdict() { awk -v r="$1" -v t="$target" 'BEGIN { print (r <= t) ? "within " t "x" : "ABOVE " t "x" }'; }

# ---------------------------------------------------------------- start

# Runs a command once and appends its wall time in microseconds to a file.
# bash 5's EPOCHREALTIME is read without starting a process; date otherwise.
timeOnce() {
    local file=$1 t0 t1
    shift
    if [ -n "${EPOCHREALTIME:-}" ]; then
        t0=${EPOCHREALTIME//[.,]/}
        "$@" >/dev/null
        t1=${EPOCHREALTIME//[.,]/}
    else
        t0=$(($(date +%s%N) / 1000))
        "$@" >/dev/null
        t1=$(($(date +%s%N) / 1000))
    fi
    echo $((10#$t1 - 10#$t0)) >>"$file"
}

# The yardstick window is made the size Tallowick's main window has here.
windowSize=$("$tallowick" --report | awk '/^window/ { print $2 }')
bare=("$bin/benchBareStart" --size "${windowSize:-776x568}")
form=("$bin/benchFormStart" --size "${windowSize:-776x568}")

echo
echo "== start to first painted frame: $startRuns runs each, interleaved, after warm-up"
for _ in $(seq 10); do "$tallowick" >/dev/null && "${bare[@]}" >/dev/null; done
: >"$scratch/start-t" && : >"$scratch/start-b" && : >"$scratch/start-f"
for _ in $(seq "$startRuns"); do
    timeOnce "$scratch/start-t" "$tallowick"
    timeOnce "$scratch/start-b" "${bare[@]}"
    timeOnce "$scratch/start-f" "${form[@]}"
done
tallowickStart=$(median <"$scratch/start-t" | awk '{ printf "%.2f", $1 / 1000 }')
bareStart=$(median <"$scratch/start-b" | awk '{ printf "%.2f", $1 / 1000 }')
formStart=$(median <"$scratch/start-f" | awk '{ printf "%.2f", $1 / 1000 }')

# hyperfine's view of the same two commands (one after the other, so more
# exposed to other load on the machine than the interleaved runs above).
hyperTallowick=n/a
hyperBare=n/a
if command -v hyperfine >/dev/null; then
    echo
    startCsv=$scratch/start.csv
    hyperfine -N --style basic --warmup 10 --runs "$startRuns" --export-csv "$startCsv" \
        -n tallowick "$tallowick" -n bare "${bare[*]}"
    # CSV columns: command,mean,stddev,median,user,system,min,max (seconds).
    hyperTallowick=$(awk -F, '$1 == "tallowick" { printf "%.2f", $4 * 1000 }' "$startCsv")
    hyperBare=$(awk -F, '$1 == "bare" { printf "%.2f", $4 * 1000 }' "$startCsv")
else
    echo "(hyperfine not found: only the interleaved runs are reported)"
fi

# The same moment seen from inside: static initialisation to first frame.
: >"$scratch/inside-t" && : >"$scratch/inside-b"
for _ in $(seq 20); do
    "$tallowick" --report | awk '/^first paint/ { print $3 }' >>"$scratch/inside-t"
    "${bare[@]}" --report | awk '/^first paint/ { print $3 }' >>"$scratch/inside-b"
done
tallowickInside=$(median <"$scratch/inside-t")
bareInside=$(median <"$scratch/inside-b")

# ---------------------------------------------------------------- memory

echo
echo "== peak resident memory ($memoryRuns runs each, interleaved)"
: >"$scratch/rss-t" && : >"$scratch/rss-b" && : >"$scratch/rss-f"
for _ in $(seq "$memoryRuns"); do
    /usr/bin/time -f %M -o "$scratch/one" "$tallowick" >/dev/null
    cat "$scratch/one" >>"$scratch/rss-t"
    /usr/bin/time -f %M -o "$scratch/one" "${bare[@]}" >/dev/null
    cat "$scratch/one" >>"$scratch/rss-b"
    /usr/bin/time -f %M -o "$scratch/one" "${form[@]}" >/dev/null
    cat "$scratch/one" >>"$scratch/rss-f"
done
tallowickRss=$(median <"$scratch/rss-t")
bareRss=$(median <"$scratch/rss-b")
formRss=$(median <"$scratch/rss-f")

# ---------------------------------------------------------------- load

echo
echo "== load and show a header: $loads loads per run, $loadRuns runs each, interleaved"
: >"$scratch/load-s" && : >"$scratch/load-l"
for run in $(seq "$loadRuns"); do
    "$loader" "$small" "$loads" >"$scratch/out-s"
    "$loader" "$large" "$loads" >"$scratch/out-l"
    # Per run: the mean and the median microseconds of one load + repaint,
    # and the mean of the load alone.
    awk '/^load_display_us_mean/ { m = $2 } /^load_display_us_median/ { d = $2 }
        /^load_only_us_mean/ { o = $2 } END { print m, d, o }' "$scratch/out-s" >>"$scratch/load-s"
    awk '/^load_display_us_mean/ { m = $2 } /^load_display_us_median/ { d = $2 }
        /^load_only_us_mean/ { o = $2 } END { print m, d, o }' "$scratch/out-l" >>"$scratch/load-l"
    echo "run $run (mean us): 40 KB $(tail -n1 "$scratch/load-s" | cut -d' ' -f1)," \
        "1 GB sparse $(tail -n1 "$scratch/load-l" | cut -d' ' -f1)"
done
# Other work on the machine only ever slows a run down: keep each file's best.
best() { cut -d' ' -f"$2" "$1" | sort -g | head -n1; }
smallMean=$(best "$scratch/load-s" 1)
largeMean=$(best "$scratch/load-l" 1)
smallMedian=$(best "$scratch/load-s" 2)
largeMedian=$(best "$scratch/load-l" 2)
smallOnly=$(best "$scratch/load-s" 3)
largeOnly=$(best "$scratch/load-l" 3)

# ---------------------------------------------------------------- report

startRatio=$(ratio "$tallowickStart" "$bareStart")
hyperRatio=n/a
[ "$hyperBare" = n/a ] || hyperRatio=$(ratio "$hyperTallowick" "$hyperBare")
insideRatio=$(ratio "$tallowickInside" "$bareInside")
rssRatio=$(ratio "$tallowickRss" "$bareRss")
loadRatio=$(ratio "$largeMean" "$smallMean")
medianRatio=$(ratio "$largeMedian" "$smallMedian")
onlyRatio=$(ratio "$largeOnly" "$smallOnly")

echo
echo "== results (Release, QT_QPA_PLATFORM=offscreen)"
printf '%-44s %12s %12s %8s\n' "" "tallowick" "bare" "ratio"
printf '%-44s %12s %12s %8s  %s\n' "start to first frame, ms (median, interleaved)" \
    "$tallowickStart" "$bareStart" "$startRatio" "$(verdict "$startRatio")"
printf '%-44s %12s %12s %8s\n' "  the same by hyperfine, ms (median)" \
    "$hyperTallowick" "$hyperBare" "$hyperRatio"
printf '%-44s %12s %12s %8s\n' "  static init to first frame, ms (median)" \
    "$tallowickInside" "$bareInside" "$insideRatio"
printf '%-44s %12s %12s %8s  %s\n' "peak RSS, KB (median)" \
    "$tallowickRss" "$bareRss" "$rssRatio" "$(verdict "$rssRatio")"
echo
printf '%-44s %12s %12s %8s\n' "the main form alone against the bare window" "form" "bare" "ratio"
printf '%-44s %12s %12s %8s\n' "  start to first frame, ms (median)" \
    "$formStart" "$bareStart" "$(ratio "$formStart" "$bareStart")"
printf '%-44s %12s %12s %8s\n' "  peak RSS, KB (median)" \
    "$formRss" "$bareRss" "$(ratio "$formRss" "$bareRss")"
printf '%-44s %12s %12s %8s\n' "tallowick against the main form alone" "tallowick" "form" "ratio"
printf '%-44s %12s %12s %8s\n' "  start to first frame, ms (median)" \
    "$tallowickStart" "$formStart" "$(ratio "$tallowickStart" "$formStart")"
printf '%-44s %12s %12s %8s\n' "  peak RSS, KB (median)" \
    "$tallowickRss" "$formRss" "$(ratio "$tallowickRss" "$formRss")"
echo
printf '%-44s %12s %12s %8s\n' "" "1 GB sparse" "40 KB" "ratio"
printf '%-44s %12s %12s %8s\n' "load + repaint, mean us per load (best run)" \
    "$largeMean" "$smallMean" "$loadRatio"
printf '%-44s %12s %12s %8s\n' "  the same, median us per load (best run)" \
    "$largeMedian" "$smallMedian" "$medianRatio"
printf '%-44s %12s %12s %8s\n' "  load alone, mean us per load (best run)" \
    "$largeOnly" "$smallOnly" "$onlyRatio"

# ---------------------------------------------------------------- the image check

echo
bash "$root/bench/checks.sh"

# ---------------------------------------------------------------- command line

echo
BENCH_BUILD_DIR=$build bash "$root/bench/cli.sh"
echo
BENCH_BUILD_DIR=$build bash "$root/bench/fix.sh"
echo
BENCH_BUILD_DIR=$build bash "$root/bench/collection.sh"
