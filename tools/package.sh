#!/bin/sh
# Builds the Debian package with CPack, checks it with lintian, desktop-file-validate and
# appstreamcli, installs it, writes and checks a site with the installed quelvan-maketest,
# lets the installed quelvan download that site from 127.0.0.1, reads both manual pages,
# and removes the package again. It refuses to run where quelvan is installed already.
# Usage: tools/package.sh        (build-package/quelvan_<version>_<arch>.deb)
set -eu

cd "$(dirname "$0")/.."
BUILD_DIR=build-package

sh tools/install-deps.sh cmake make g++ qtbase5-dev qtbase5-dev-tools dpkg-dev file gzip \
    help2man lintian desktop-file-utils appstream man-db python3

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

# Never replace or remove a quelvan this script did not install: it may be one built for a
# real server.
if dpkg-query -W -f='${Status}' quelvan 2>/dev/null | grep -q "install ok installed"; then
    echo "package.sh: a quelvan package is installed already; remove it first" \
         "(apt-get remove quelvan) or run this on another machine" >&2
    exit 1
fi
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y -qq "./$DEB" >/dev/null
WORK="$(mktemp -d)"
SERVER=""
cleanup() {
    [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null
    rm -rf "$WORK"
    $SUDO apt-get remove -y -qq quelvan >/dev/null 2>&1 || true
}
trap cleanup EXIT
SITE="$WORK/site"
/usr/bin/quelvan-maketest --series 2 --slides 3 "$SITE"
/usr/bin/quelvan-maketest --check "$SITE"

# The installed client: its version, a refused address, and a whole download from a site
# on 127.0.0.1 chosen at run time, into a chosen folder.
export QT_QPA_PLATFORM=offscreen
/usr/bin/quelvan --version | grep -q "^quelvan " || {
    echo "package.sh: quelvan --version printed no version" >&2
    exit 1
}
status=0
/usr/bin/quelvan --server ftp://127.0.0.1 2>"$WORK/err" || status=$?
if [ "$status" -ne 2 ] || ! grep -q "must start with http" "$WORK/err"; then
    echo "package.sh: a bad --server gave status $status: $(cat "$WORK/err")" >&2
    exit 1
fi
python3 -m http.server --bind 127.0.0.1 --directory "$SITE" 0 >"$WORK/server.log" 2>&1 &
SERVER=$!
PORT=""
for _ in $(seq 100); do
    PORT="$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$WORK/server.log")"
    [ -n "$PORT" ] && break
    sleep 0.1
done
[ -n "$PORT" ] || { echo "package.sh: the test server did not start" >&2; exit 1; }
# fail.jpg is the last picture, stored whole or not at all: once it is there, every
# document and picture came in.
/usr/bin/quelvan --server "http://127.0.0.1:$PORT" --pictures "$WORK/pictures" --autostart &
CLIENT=$!
for _ in $(seq 300); do
    [ -f "$WORK/pictures/fail.jpg" ] && break
    kill -0 "$CLIENT" 2>/dev/null || break
    sleep 0.1
done
kill "$CLIENT" 2>/dev/null || true
wait "$CLIENT" 2>/dev/null || true
if [ ! -f "$WORK/pictures/fail.jpg" ] || [ "$(ls "$WORK/pictures" | wc -l)" -ne 17 ]; then
    echo "package.sh: the installed quelvan did not download the site: $(ls "$WORK/pictures" 2>&1)" >&2
    exit 1
fi
# Both manual pages are installed and readable.
for page in quelvan quelvan-maketest; do
    MANWIDTH=80 man "$page" 2>/dev/null | head -3 | grep -q . || {
        echo "package.sh: man $page shows nothing" >&2
        exit 1
    }
done
$SUDO apt-get remove -y -qq quelvan >/dev/null
trap - EXIT
kill "$SERVER" 2>/dev/null || true
rm -rf "$WORK"
if dpkg-query -W -f='${Status}' quelvan 2>/dev/null | grep -q "install ok installed"; then
    echo "package.sh: quelvan is still installed" >&2
    exit 1
fi
echo "package.sh: built, checked, installed, used and removed $DEB"
