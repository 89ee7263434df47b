#!/bin/sh
# Checks the Windows build under Wine, in a throwaway prefix with nothing on WINEPATH: the
# programs' version information and icon; the unpacked quelvan.exe prints its version,
# checks good and bad settings with --check-settings and logs what failed; the unpacked
# quelvan-maketest.exe writes a site and finds it clean of errors; the installer installs
# silently over an older one, refuses to go back to the older one, and its uninstaller
# removes the program but keeps the lab's settings file; deploy.cmd installs with the
# lab's settings and uninstalls, returning only once the files are gone; the MSI installs
# over an older one, refuses the older one and the NSIS installer beside it, and is removed.
# Usage: tools/windows/check.sh <unpacked folder> <installer> <older installer> <version>
#        <file version> <MSI> <older MSI>
set -eu

DIR="$1"
SETUP="$2"
OLDER="$3"
VERSION="$4"
FILEVERSION="$5"
MSI="$6"
OLDERMSI="$7"

WORK="$(mktemp -d)"
. tools/windows/common.sh
SERVER=""
trap 'wine_done; [ -z "$SERVER" ] || kill "$SERVER"; rm -rf "$WORK"' EXIT
wine_prefix "$WORK"
fail() {
    echo "windows check: $*" >&2
    exit 1
}
# Windows programs end their lines with CR LF.
run() { wine "$@" | tr -d '\r'; }

# The version information as Explorer and inventory tools read it.
for program in quelvan quelvan-maketest; do
    # Debian's Python, which python3-pefile is installed for.
    /usr/bin/python3 tools/windows/subsystem.py "$DIR/$program.exe" any "$FILEVERSION" "$VERSION" ||
        fail "$program.exe: no icon or version information"
done

got="$(run "$DIR/quelvan.exe" --version)"
[ "$got" = "quelvan $VERSION" ] || fail "unpacked quelvan.exe --version printed \"$got\""
echo "windows check: unpacked quelvan.exe --version: $got"

run "$DIR/quelvan-maketest.exe" --series 2 --slides 4 "$WORK/site" || fail "maketest failed"
run "$DIR/quelvan-maketest.exe" --check "$WORK/site" >"$WORK/check.txt" ||
    fail "maketest --check of a fresh site: $(cat "$WORK/check.txt")"
grep -q '^0 error(s)' "$WORK/check.txt" || fail "maketest --check: $(cat "$WORK/check.txt")"
echo "windows check: unpacked quelvan-maketest.exe wrote and checked a site"
# Help from a script: printed, and no message box that waits for a click.
timeout 60 wine "$DIR/quelvan-maketest.exe" --help </dev/null >"$WORK/help.txt" 2>&1 ||
    fail "maketest --help did not return"
grep -q -- '--check <site>' "$WORK/help.txt" || fail "maketest --help: $(cat "$WORK/help.txt")"

# --check-settings against the site served on this machine: a good results folder, then one
# on a drive that does not exist, which the log keeps.
PORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
python3 -m http.server --bind 127.0.0.1 --directory "$WORK/site" "$PORT" >/dev/null 2>&1 &
SERVER=$!
for i in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $PORT))" 2>/dev/null && break
    sleep 0.2
done
check() { # its output without CR, and its exit status
    status=0
    wine "$DIR/quelvan.exe" --check-settings --server "http://127.0.0.1:$PORT" \
        --pictures C:/quelvan/img "$@" >"$WORK/raw.txt" || status=$?
    tr -d '\r' <"$WORK/raw.txt"
}
check --results C:/quelvan/results >"$WORK/good.txt"
[ "$status" = 0 ] || fail "--check-settings of a good setup: $(cat "$WORK/good.txt")"
grep -q "^ok   test server http://127.0.0.1:$PORT/quelvan/test.php: answered" "$WORK/good.txt" ||
    fail "--check-settings: $(cat "$WORK/good.txt")"
check --results Q:/quelvan/results >"$WORK/bad.txt"
[ "$status" = 1 ] && grep -q '^FAIL results folder Q:/quelvan/results' "$WORK/bad.txt" ||
    fail "--check-settings of a missing drive: status $status, $(cat "$WORK/bad.txt")"
LOG="$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/quelvan/quelvan.log' | head -1)"
[ -n "$LOG" ] && grep -q 'check-settings: results folder Q:/quelvan/results' "$LOG" ||
    fail "no log of the failed check in %LOCALAPPDATA%\\quelvan\\quelvan.log"
echo "windows check: --check-settings passed a good setup, failed a missing drive and logged it"

C="$WINEPREFIX/drive_c"
PROGRAM="$C/Program Files/quelvan"
MENU="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/quelvan.lnk"
KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\quelvan'
registered() { run reg query "$KEY" /v DisplayVersion 2>/dev/null | awk '/DisplayVersion/ {print $3}'; }

SHARE="$WORK/share"
mkdir -p "$SHARE"
cp "$DIR/deploy.cmd" "$SETUP" "$SHARE/"
printf 'server=http://10.0.0.6:8080\r\n' >"$SHARE/quelvan.ini"
DEPLOY="$(winepath -w "$SHARE/deploy.cmd")"

mkdir -p "$C/ProgramData/quelvan"
printf 'server=http://10.0.0.5:8080\r\n' >"$C/ProgramData/quelvan/quelvan.ini"
wine "$OLDER" /S && wineserver -w
[ "$(registered)" = "1.0.0.0" ] || fail "the older installer did not register"
wine "$SETUP" /S && wineserver -w
[ "$(registered)" = "$FILEVERSION" ] || fail "the installer left version \"$(registered)\" registered"
full="$(run reg query "$KEY" /v FullVersion | awk '/FullVersion/ {print $3}')"
[ "$full" = "$VERSION" ] || fail "the installer registered the text version \"$full\""
got="$(run "$PROGRAM/quelvan.exe" --version)"
[ "$got" = "quelvan $VERSION" ] || fail "installed quelvan.exe --version printed \"$got\""
[ -f "$MENU" ] || fail "no Start menu entry"
echo "windows check: the installer replaced an older install: $got"

# The version information read back on Windows' side: the older installer finds the
# installed program newer and refuses, unless told to go back.
status=0
wine "$OLDER" /S || status=$?
wineserver -w
[ "$status" = 2 ] && [ "$(registered)" = "$FILEVERSION" ] ||
    fail "the older installer over the newer one: status $status, \"$(registered)\" registered"
echo "windows check: the older installer refused to replace the newer one (status 2)"

# Windows (and Wine) lock a running program's file: neither the installer nor the
# uninstaller replaces a quelvan that runs.
wine "$PROGRAM/quelvan.exe" -platform offscreen >/dev/null 2>&1 &
RUNNING=$!
for i in $(seq 100); do
    pgrep -f "Program Files/quelvan/quelvan.exe" >/dev/null && break
    sleep 0.2
done
sleep 2
status=0
wine "$SETUP" /S || status=$?
# The uninstaller as deploy.cmd runs it, waited for: plain uninstall.exe /S would return
# before its copy in the temporary folder says anything.
status_un=0
wine cmd /c "$DEPLOY" /uninstall >/dev/null || status_un=$?
kill "$RUNNING"
wineserver -w
[ "$status" = 3 ] && [ "$status_un" = 3 ] && [ -e "$PROGRAM/quelvan.exe" ] ||
    fail "with quelvan running: installer status $status, uninstaller status $status_un"
echo "windows check: the installer and the uninstaller refused while quelvan ran (status 3)"

wine "$PROGRAM/uninstall.exe" /S && wineserver -w
[ ! -e "$PROGRAM" ] || fail "the uninstaller left $(cd "$PROGRAM" && find . | head -5)"
[ ! -e "$MENU" ] || fail "the uninstaller left the Start menu entry"
[ -z "$(registered)" ] || fail "the uninstaller left the registry entry"
grep -q 10.0.0.5 "$C/ProgramData/quelvan/quelvan.ini" || fail "the uninstaller took the settings"
echo "windows check: the uninstaller removed the program and kept the settings"

# deploy.cmd as a lab runs it from a share: the installer and the lab's settings beside it.
wine cmd /c "$DEPLOY" >/dev/null || fail "deploy.cmd failed"
wineserver -w
[ "$(registered)" = "$FILEVERSION" ] && grep -q 10.0.0.6 "$C/ProgramData/quelvan/quelvan.ini" ||
    fail "deploy.cmd did not install with the lab's settings"
# Returns only once everything is gone: no wait for Wine's processes here.
wine cmd /c "$DEPLOY" /uninstall >/dev/null || fail "deploy.cmd /uninstall failed"
[ ! -e "$PROGRAM" ] || fail "deploy.cmd /uninstall returned before $(cd "$PROGRAM" && find . | head -3) went"
wineserver -w
echo "windows check: deploy.cmd installed with the lab's settings, and uninstalled before it returned"

# The MSI, as a policy deploys it.
msi() { wine msiexec "$1" "$(winepath -w "$2")" /qn; }
product() { run reg query 'HKLM\Software\quelvan' /v MsiBuild 2>/dev/null | awk '/MsiBuild/ {print $3}'; }
BUILDNUMBER="$(printf '%05d' "${FILEVERSION##*.}")"
msi /i "$OLDERMSI" && wineserver -w
[ "$(product)" = 00000 ] || fail "the older MSI did not install"
msi /i "$MSI" && wineserver -w
[ "$(product)" = "$BUILDNUMBER" ] || fail "the MSI did not replace the older one: \"$(product)\""
got="$(run "$PROGRAM/quelvan.exe" --version)"
[ "$got" = "quelvan $VERSION" ] || fail "quelvan.exe from the MSI printed \"$got\""
# Wine puts an all-users MSI's shortcut in the installing account's menu.
USERMENU="$(find "$C/users" -path '*/Start Menu/Programs/quelvan.lnk' | head -1)"
[ -f "$MENU" ] || [ -n "$USERMENU" ] || fail "no Start menu entry from the MSI"
status=0
msi /i "$OLDERMSI" || status=$?
wineserver -w
[ "$status" != 0 ] && [ "$(product)" = "$BUILDNUMBER" ] ||
    fail "the older MSI over the newer one: status $status, build \"$(product)\""
status=0
wine "$SETUP" /S || status=$?
wineserver -w
[ "$status" = 4 ] || fail "the installer beside the MSI's copy: status $status"
msi /x "$MSI" && wineserver -w
[ ! -e "$PROGRAM/quelvan.exe" ] || fail "msiexec /x left $(cd "$PROGRAM" && find . | head -5)"
[ ! -e "$MENU" ] && [ -z "$(find "$C/users" -name quelvan.lnk)" ] ||
    fail "msiexec /x left the Start menu entry"
[ -z "$(product)" ] || fail "msiexec /x left its registry value"
echo "windows check: the MSI replaced an older one, refused it and the installer beside it, and was removed"
