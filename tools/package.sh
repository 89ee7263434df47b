#!/bin/sh
# Builds the Debian package with tools/build-package.sh, checks it with lintian,
# desktop-file-validate and appstreamcli, installs an older build and then this one over it,
# writes and checks a site with the installed quelvan-maketest, lets the installed quelvan
# download that site from 127.0.0.1, reads both manual pages, and removes the package again.
# It refuses to run where quelvan is installed already.
# Usage: tools/package.sh        (build-package/quelvan_<version>_<arch>.deb)
set -eu

cd "$(dirname "$0")/.."

sh tools/install-deps.sh lintian desktop-file-utils appstream man-db python3

# Never replace or remove a quelvan this script did not install: it may be one built for a
# real server.
if dpkg-query -W -f='${Status}' quelvan 2>/dev/null | grep -q "install ok installed"; then
    echo "package.sh: a quelvan package is installed already; remove it first" \
         "(apt-get remove quelvan) or run this on another machine" >&2
    exit 1
fi
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
WORK="$(mktemp -d)"
SERVER=""
cleanup() {
    [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null
    rm -rf "$WORK"
    $SUDO apt-get remove -y -qq quelvan >/dev/null 2>&1 || true
}
trap cleanup EXIT
# An older build first, kept aside, then this one: installing it must replace the older.
OLDER_VERSION="1.0.0~older"
QUELVAN_VERSION="$OLDER_VERSION" sh tools/build-package.sh | tail -n 1 >"$WORK/older"
cp "$(cat "$WORK/older")" "$WORK/older.deb"
DEB="$(sh tools/build-package.sh | tail -n 1)"
VERSION="$(dpkg-deb -f "$DEB" Version)"
echo "package: $DEB (version $VERSION, depends on $(dpkg-deb -f "$DEB" Depends))"
dpkg --compare-versions "$VERSION" gt "$OLDER_VERSION" || {
    echo "package.sh: version $VERSION is not newer than $OLDER_VERSION" >&2
    exit 1
}

desktop-file-validate data/quelvan.desktop
appstreamcli validate --no-net data/quelvan.metainfo.xml
# The package is clean today: an error or a new warning fails the check.
lintian --fail-on error,warning "$DEB" || {
    echo "package.sh: lintian found errors or warnings" >&2
    exit 1
}

$SUDO apt-get install -y -qq "$WORK/older.deb" >/dev/null
[ "$(/usr/bin/quelvan --version)" = "quelvan $OLDER_VERSION" ] || {
    echo "package.sh: the older package did not install" >&2
    exit 1
}
$SUDO apt-get install -y -qq "./$DEB" >/dev/null
INSTALLED="$(dpkg-query -W -f='${Version}' quelvan)"
if [ "$INSTALLED" != "$VERSION" ] || [ "$(/usr/bin/quelvan --version)" != "quelvan $VERSION" ]; then
    echo "package.sh: installing $VERSION left $INSTALLED" >&2
    exit 1
fi
SITE="$WORK/site"
/usr/bin/quelvan-maketest --series 2 --slides 3 "$SITE"
/usr/bin/quelvan-maketest --check "$SITE"

# The installed client: its version without a display (as over SSH), a refused address,
# and a whole download from a site on 127.0.0.1 chosen at run time, into a chosen folder.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb /usr/bin/quelvan --version | grep -q "^quelvan " || {
    echo "package.sh: quelvan --version needs a display or printed no version" >&2
    exit 1
}
export QT_QPA_PLATFORM=offscreen
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
# The window keeps the folder's lock (quelvan.lock) while it is open.
if [ ! -f "$WORK/pictures/fail.jpg" ] || [ "$(ls "$WORK/pictures" | grep -c '\.jpg$')" -ne 17 ]; then
    echo "package.sh: the installed quelvan did not download the site: $(ls "$WORK/pictures" 2>&1)" >&2
    exit 1
fi
# The manual pages are installed and readable.
for page in quelvan quelvan-maketest quelvan-results; do
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
