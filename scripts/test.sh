#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: the fuzzer for a
# bounded time, the whole suite under AddressSanitizer and
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

echo "== fuzzing the header stream (${FUZZ_SECONDS:-60} s)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLOWICK_GUI=OFF -DTALLOWICK_TESTS=OFF -DTALLOWICK_FUZZ=ON \
    -DTALLOWICK_SANITIZE=address,undefined >/dev/null
cmake --build build-fuzz -j"$jobs" >/dev/null
corpus=$(mktemp -d)
log="$corpus.log"
if ! ./build-fuzz/tests/fuzz/inesStrmFuzz -max_total_time="${FUZZ_SECONDS:-60}" -max_len=128 \
    "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "The fuzzer found a fault."
    exit 1
fi
grep -E "^Done" "$log"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTALLOWICK_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j"$jobs" >/dev/null
if ! ctest --test-dir build-asan --output-on-failure -j"$jobs" >"$corpus.asan" 2>&1; then
    cat "$corpus.asan"
    exit 1
fi
tail -n 4 "$corpus.asan"

echo "== tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" >/dev/null
ctest --test-dir build --output-on-failure -j"$jobs"
