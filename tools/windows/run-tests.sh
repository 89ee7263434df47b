#!/bin/sh
# Builds the Windows test programs (tools/windows/common.sh) and runs the whole suite under
# Wine, in a throwaway prefix whose profile folders the settings rows may write
# (QUELVAN_THROWAWAY_PROFILE). Each test writes its Qt Test report to a file, since Wine shows
# no console output of a test program; a failing test's report is printed.
# Usage: tools/windows/run-tests.sh [test name ...]   (default: every test)
set -eu

cd "$(dirname "$0")/../.."
. tools/windows/common.sh
windows_build

WORK="$(mktemp -d)"
trap 'wine_done; rm -rf "$WORK"' EXIT
# The profile's folders are this prefix's own: the settings rows may write them.
wine_offscreen_prefix "$WORK" "QUELVAN_THROWAWAY_PROFILE=1"

TESTS="${*:-$(cd "$BUILD/tests" && ls tst_*.exe | sed 's/\.exe$//')}"
failed=""
for name in $TESTS; do
    report="$WORK/$name.txt"
    start=$(date +%s)
    code=0
    (cd "$BUILD/tests" && timeout 900 wine "./$name.exe" -o "$report,txt" \
        >"$WORK/$name.out" 2>&1) || code=$?
    totals="$(grep '^Totals' "$report" 2>/dev/null | tr -d '\r' || echo "no report")"
    echo "wine: $name: $totals ($(($(date +%s) - start)) s)"
    # Every skip is listed with its reason.
    grep -E '^SKIP' "$report" 2>/dev/null | tr -d '\r' | sed 's/^/    /' || true
    if [ "$code" -ne 0 ]; then
        failed="$failed $name"
        grep -E -B2 -A4 '^(FAIL|XPASS)' "$report" 2>/dev/null | tr -d '\r' || cat "$WORK/$name.out"
    fi
done
[ -z "$failed" ] || {
    echo "wine: failed:$failed" >&2
    exit 1
}
echo "wine: every test passed"
