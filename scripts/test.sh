#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: the fuzzers for a
# bounded time each, the whole suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the whole suite in the normal build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
export QT_QPA_PLATFORM=offscreen
export QTEST_FUNCTION_TIMEOUT=${QTEST_FUNCTION_TIMEOUT:-120000}
# A sanitizer finding ends the run with an error.
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan-system.supp:print_suppressions=0"

# Seconds per fuzzer: about 90 s in all.
strmSeconds=${FUZZ_SECONDS:-40}
imageSeconds=${FUZZ_IMAGE_SECONDS:-25}
databaseSeconds=${FUZZ_DATABASE_SECONDS:-25}
echo "== building the fuzzers"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLOWICK_GUI=OFF -DTALLOWICK_TESTS=OFF -DTALLOWICK_FUZZ=ON \
    -DTALLOWICK_SANITIZE=address,undefined >/dev/null
cmake --build build-fuzz -j"$jobs" >/dev/null
# fuzz NAME SECONDS SEEDS... -- OPTIONS...: runs one fuzzer on a fresh corpus
# seeded with copies of SEEDS; a finding ends the run with an error.
fuzz() {
    local name=$1 seconds=$2 corpus log
    shift 2
    corpus=$(mktemp -d)
    log="$corpus.log"
    while [ "$1" != "--" ]; do
        cp "$1" "$corpus/"
        shift
    done
    shift
    echo "== fuzzing: $name ($seconds s)"
    if ! "./build-fuzz/tests/fuzz/$name" -max_total_time="$seconds" "$@" "$corpus" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "The fuzzer $name found a fault."
        exit 1
    fi
    grep -E "^Done" "$log"
}
fuzz inesStrmFuzz "$strmSeconds" -- -max_len=128
fuzz imageCheckFuzz "$imageSeconds" samples/*.nes -- -max_len=40976
fuzz databaseFuzz "$databaseSeconds" samples/*.xml -- -max_len=8192 \
    -dict=tests/fuzz/database.dict

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTALLOWICK_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j"$jobs" >/dev/null
asanLog=$(mktemp)
if ! ctest --test-dir build-asan --output-on-failure -j"$jobs" >"$asanLog" 2>&1; then
    cat "$asanLog"
    exit 1
fi
tail -n 4 "$asanLog"

echo "== tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" >/dev/null
ctest --test-dir build --output-on-failure -j"$jobs"
