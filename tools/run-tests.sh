#!/bin/sh
# Installs what is missing, builds quelvan with its tests and runs the whole suite.
# Usage: tools/run-tests.sh [--sanitize]
#   --sanitize  build with AddressSanitizer, UBSan and LeakSanitizer (build-asan/)
set -eu

cd "$(dirname "$0")/.."
BUILD_DIR=build-tests
BUILD_TYPE=RelWithDebInfo
SANITIZE=OFF
if [ "${1:-}" = "--sanitize" ]; then
    BUILD_DIR=build-asan
    BUILD_TYPE=Debug
    SANITIZE=ON
fi

# squid and apache2-utils serve the proxy tests; mount (util-linux) the file-system ones.
sh tools/install-deps.sh cmake make g++ qtbase5-dev qtbase5-dev-tools libqt5network5 \
    libqt5test5 python3 squid apache2-utils util-linux

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="$BUILD_TYPE" -DQUELVAN_BUILD_TESTS=ON \
    -DQUELVAN_SANITIZE="$SANITIZE"
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 900
