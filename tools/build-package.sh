#!/bin/sh
# Builds the Debian package of quelvan, quelvan-maketest and quelvan-results: installs what the build needs,
# builds a Release for /usr and refuses a package that declares no dependencies (it would
# install on any machine and then fail to start) or lacks a manual page.
# Usage: tools/build-package.sh                   prints the package's path last
#        QUELVAN_VERSION=1.0.0 tools/build-package.sh   that version instead of the one from git
set -eu

cd "$(dirname "$0")/.."
BUILD_DIR=build-package

# dpkg-dev (dpkg-shlibdeps) and file find the libraries the programs need; help2man makes
# quelvan-maketest(1) from its --help.
sh tools/install-deps.sh cmake make g++ qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools dpkg-dev file gzip \
    help2man
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DQUELVAN_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DQUELVAN_VERSION="${QUELVAN_VERSION:-}" >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)" >/dev/null
rm -f "$BUILD_DIR"/quelvan_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
DEB="$(ls "$BUILD_DIR"/quelvan_*.deb)"

refuse() {
    echo "build-package.sh: $DEB $1; removed" >&2
    rm -f "$DEB"
    exit 1
}
DEPENDS="$(dpkg-deb -f "$DEB" Depends)"
case "$DEPENDS" in
*libqt5widgets5*libqt5network5* | *libqt5network5*libqt5widgets5*) ;;
*) refuse "does not declare its Qt libraries (Depends: ${DEPENDS:-nothing})" ;;
esac
CONTENTS="$(dpkg-deb -c "$DEB")"
for page in quelvan.1.gz quelvan-maketest.1.gz quelvan-results.1.gz; do
    echo "$CONTENTS" | grep -q "/man1/$page\$" || refuse "lacks the manual page $page"
done
echo "$DEB"
