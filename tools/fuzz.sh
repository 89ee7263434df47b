#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for the given number of seconds.
# Usage: tools/fuzz.sh [seconds per target]   (default 60)
# New inputs go to build-fuzz/corpus/<target>; crashes to build-fuzz/artifacts/. Copy an
# input that found a fault into tests/fuzz/corpus/<target>/ once the fault is fixed.
set -eu

cd "$(dirname "$0")/.."
SECONDS_PER_TARGET="${1:-60}"
BUILD_DIR=build-fuzz

sh tools/install-deps.sh cmake make clang-14 libclang-rt-14-dev qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools

WERROR=OFF
[ -n "${CI:-}" ] && WERROR=ON # CI treats compiler warnings as errors
cmake -S . -B "$BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUELVAN_FUZZ=ON -DQUELVAN_BUILD_TESTS=OFF -DQUELVAN_WERROR="$WERROR"
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target fuzz_testtext fuzz_pars

mkdir -p "$BUILD_DIR/artifacts"
status=0
for target in testtext pars; do
    corpus="$BUILD_DIR/corpus/$target"
    mkdir -p "$corpus"
    echo "== fuzz_$target for $SECONDS_PER_TARGET s"
    # -timeout catches hangs: every input must parse in well under a second.
    if ! ASAN_OPTIONS=detect_leaks=1 \
        "$BUILD_DIR/tests/fuzz/fuzz_$target" \
        -max_total_time="$SECONDS_PER_TARGET" -timeout=5 -max_len=200000 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$BUILD_DIR/artifacts/$target-" \
        "$corpus" "tests/fuzz/corpus/$target" 2>"$BUILD_DIR/fuzz_$target.log"; then
        status=1
        tail -40 "$BUILD_DIR/fuzz_$target.log"
    fi
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" "$BUILD_DIR/fuzz_$target.log" || true
done
exit $status
