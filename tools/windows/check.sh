#!/bin/sh
# Checks the Windows build under Wine, in a throwaway prefix with nothing on WINEPATH: the
# unpacked quelvan.exe prints its version, the unpacked quelvan-maketest.exe writes a site
# and finds it clean of errors; the installer installs silently over an older one, and its
# uninstaller removes the program but keeps the lab's settings file.
# Usage: tools/windows/check.sh <unpacked folder> <installer> <older installer> <version>
set -eu

DIR="$1"
SETUP="$2"
OLDER="$3"
VERSION="$4"

WORK="$(mktemp -d)"
. tools/windows/common.sh
trap 'wine_done; rm -rf "$WORK"' EXIT
wine_prefix "$WORK"
fail() {
    echo "windows check: $*" >&2
    exit 1
}
# Windows programs end their lines with CR LF.
run() { wine "$@" | tr -d '\r'; }

got="$(run "$DIR/quelvan.exe" --version)"
[ "$got" = "quelvan $VERSION" ] || fail "unpacked quelvan.exe --version printed \"$got\""
echo "windows check: unpacked quelvan.exe --version: $got"

run "$DIR/quelvan-maketest.exe" --series 2 --slides 4 "$WORK/site" || fail "maketest failed"
run "$DIR/quelvan-maketest.exe" --check "$WORK/site" >"$WORK/check.txt" ||
    fail "maketest --check of a fresh site: $(cat "$WORK/check.txt")"
grep -q '^0 error(s)' "$WORK/check.txt" || fail "maketest --check: $(cat "$WORK/check.txt")"
echo "windows check: unpacked quelvan-maketest.exe wrote and checked a site"

C="$WINEPREFIX/drive_c"
PROGRAM="$C/Program Files/quelvan"
MENU="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/quelvan.lnk"
KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\quelvan'
registered() { run reg query "$KEY" /v DisplayVersion 2>/dev/null | awk '/DisplayVersion/ {print $3}'; }

mkdir -p "$C/ProgramData/quelvan"
printf 'server=http://10.0.0.5:8080\r\n' >"$C/ProgramData/quelvan/quelvan.ini"
wine "$OLDER" /S && wineserver -w
[ "$(registered)" = "1.0.0~older" ] || fail "the older installer did not register"
wine "$SETUP" /S && wineserver -w
[ "$(registered)" = "$VERSION" ] || fail "the installer left version \"$(registered)\" registered"
got="$(run "$PROGRAM/quelvan.exe" --version)"
[ "$got" = "quelvan $VERSION" ] || fail "installed quelvan.exe --version printed \"$got\""
[ -f "$MENU" ] || fail "no Start menu entry"
echo "windows check: the installer replaced an older install: $got"

wine "$PROGRAM/uninstall.exe" /S && wineserver -w
[ ! -e "$PROGRAM" ] || fail "the uninstaller left $(cd "$PROGRAM" && find . | head -5)"
[ ! -e "$MENU" ] || fail "the uninstaller left the Start menu entry"
[ -z "$(registered)" ] || fail "the uninstaller left the registry entry"
grep -q 10.0.0.5 "$C/ProgramData/quelvan/quelvan.ini" || fail "the uninstaller took the settings"
echo "windows check: the uninstaller removed the program and kept the settings"
