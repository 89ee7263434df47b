#!/bin/sh
# Installs what is missing, builds quelvan with its tests and runs the whole suite.
# Usage: tools/run-tests.sh [--sanitize | --qt6]
#   --sanitize  build with AddressSanitizer, UBSan and LeakSanitizer (build-asan/)
#   --qt6       build with Qt 6 instead of Qt 5.15 (build-qt6/)
set -eu

cd "$(dirname "$0")/.."
BUILD_DIR=build-tests
BUILD_TYPE=RelWithDebInfo
SANITIZE=OFF
QT6=OFF
# With the image plugins a participant's desktop has (SVG, WebP, TIFF ...), so that the
# suite sees every format a plugin could claim.
QT_PACKAGES="qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools libqt5network5 libqt5test5 libqt5svg5 \
    qt5-image-formats-plugins"
case "${1:-}" in
--sanitize)
    BUILD_DIR=build-asan
    BUILD_TYPE=Debug
    SANITIZE=ON
    ;;
--qt6)
    BUILD_DIR=build-qt6
    QT6=ON
    QT_PACKAGES="qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools \
        qt6-l10n-tools libgl-dev libqt6svg6 qt6-image-formats-plugins"
    ;;
"") ;;
*)
    echo "usage: $0 [--sanitize | --qt6]" >&2
    exit 2
    ;;
esac

# squid and apache2-utils serve the proxy tests, nginx and openssl the TLS ones, mount
# (util-linux) the file-system ones; pandas and R read quelvan-results' files as a lab would.
# shellcheck disable=SC2086
sh tools/install-deps.sh cmake make g++ $QT_PACKAGES python3 squid apache2-utils util-linux \
    nginx openssl python3-pandas r-base-core

# CI treats every compiler warning as an error; elsewhere a newer compiler's new warning
# must not stop a build.
WERROR=OFF
[ -n "${CI:-}" ] && WERROR=ON
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="$BUILD_TYPE" -DQUELVAN_BUILD_TESTS=ON \
    -DQUELVAN_SANITIZE="$SANITIZE" -DQUELVAN_QT6="$QT6" -DQUELVAN_WERROR="$WERROR"
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
cd "$BUILD_DIR"
ctest --output-on-failure --timeout 900
