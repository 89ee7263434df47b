#!/bin/sh
# Installs what is missing, builds quelvan with its tests and runs the whole suite.
# Usage: tools/run-tests.sh [build directory]   (default: build-tests)
set -eu

cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build-tests}"

sh tools/install-deps.sh cmake make g++ qtbase5-dev qtbase5-dev-tools libqt5network5 \
    libqt5test5 python3

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELVAN_BUILD_TESTS=ON
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 600
