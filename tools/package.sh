#!/bin/sh
# Builds the Debian package with CPack, checks it with lintian, desktop-file-validate and
# appstreamcli, installs it, writes and checks a site with the installed quelvan-maketest,
# reads both manual pages, and removes the package again.
# Usage: tools/package.sh        (build-package/quelvan_<version>_<arch>.deb)
set -eu

cd "$(dirname "$0")/.."
BUILD_DIR=build-package

sh tools/install-deps.sh cmake make g++ qtbase5-dev qtbase5-dev-tools dpkg-dev file gzip \
    help2man lintian desktop-file-utils appstream man-db

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DQUELVAN_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
rm -f "$BUILD_DIR"/quelvan_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
DEB="$(ls "$BUILD_DIR"/quelvan_*.deb)"
echo "package: $DEB"

desktop-file-validate data/quelvan.desktop
appstreamcli validate --no-net data/quelvan.metainfo.xml
# The package is clean today: an error or a new warning fails the check.
lintian --fail-on error,warning "$DEB" || {
    echo "package.sh: lintian found errors or warnings" >&2
    exit 1
}

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$DEB" >/dev/null
trap 'apt-get remove -y -qq quelvan >/dev/null 2>&1 || true' EXIT
SITE="$(mktemp -d)"
/usr/bin/quelvan-maketest --series 2 --slides 3 "$SITE"
/usr/bin/quelvan-maketest --check "$SITE"
rm -rf "$SITE"
# Both manual pages are installed and readable.
for page in quelvan quelvan-maketest; do
    MANWIDTH=80 man "$page" 2>/dev/null | head -3 | grep -q . || {
        echo "package.sh: man $page shows nothing" >&2
        exit 1
    }
done
apt-get remove -y -qq quelvan >/dev/null
trap - EXIT
if dpkg-query -W -f='${Status}' quelvan 2>/dev/null | grep -q "install ok installed"; then
    echo "package.sh: quelvan is still installed" >&2
    exit 1
fi
echo "package.sh: built, checked, installed, used and removed $DEB"
