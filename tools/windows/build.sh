#!/bin/sh
# Cross-builds quelvan for 64-bit Windows on Debian: quelvan.exe, quelvan-maketest.exe and
# the test executables, against the Qt for Windows in QUELVAN_QT_MINGW (default
# ../shared/qt5-mingw), with warnings as errors; then the zip and the NSIS installer, and
# the MSI (tools/windows/msi.sh), and checks them under Wine (tools/windows/check.sh).
# The last three lines it prints are the full paths of the zip, the installer and the MSI.
# Usage: tools/windows/build.sh
set -eu

cd "$(dirname "$0")/../.."
. tools/windows/common.sh
windows_build

VERSION="$(cat "$BUILD/version.txt")"
FILEVERSION="$(cat "$BUILD/file-version.txt")"
python3 tools/windows/subsystem.py "$BUILD/src/quelvan.exe" gui
python3 tools/windows/subsystem.py "$BUILD/tools/maketest/quelvan-maketest.exe" console
python3 tools/windows/subsystem.py "$BUILD/tools/results/quelvan-results.exe" console

# The unpacked folder: programs, the Qt libraries and plugins they load, the MinGW runtime.
NAME="quelvan-$VERSION-windows-x64"
OUT="$BUILD/package"
DIR="$OUT/$NAME"
rm -rf "$OUT"
mkdir -p "$DIR/platforms" "$DIR/imageformats" "$DIR/styles" "$DIR/licences" "$DIR/translations"
cp "$BUILD/src/quelvan.exe" "$BUILD/tools/maketest/quelvan-maketest.exe" \
    "$BUILD/tools/results/quelvan-results.exe" "$DIR/"
for dll in Qt5Core Qt5Gui Qt5Widgets Qt5Network libgcc_s_seh-1 libstdc++-6 libwinpthread-1; do
    cp "$QT/bin/$dll.dll" "$DIR/"
done
# quelvan-maketest draws its pictures on the offscreen platform.
cp "$QT/plugins/platforms/qwindows.dll" "$QT/plugins/platforms/qoffscreen.dll" "$DIR/platforms/"
cp "$QT/plugins/imageformats/qjpeg.dll" "$QT/plugins/imageformats/qgif.dll" \
    "$QT/plugins/imageformats/qico.dll" "$DIR/imageformats/"
cp "$QT/plugins/styles/qwindowsvistastyle.dll" "$DIR/styles/"
x86_64-w64-mingw32-strip "$DIR"/*.exe
# Plugins beside the programs, never in the folder this Qt was built into.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\n' >"$DIR/qt.conf"
# Text files with Windows line ends, so that Notepad of any age shows them.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf tools/windows/README-windows.txt "$DIR/README.txt"
# The template a lab translates from (docs/lab-setup.md, "Adding a language").
cp translations/quelvan.ts "$DIR/translations/"
crlf tools/windows/quelvan.ini.example "$DIR/quelvan.ini.example"
crlf tools/windows/deploy.cmd "$DIR/deploy.cmd"
crlf LICENSE "$DIR/licences/COPYING.txt"
crlf tools/windows/licences.txt "$DIR/licences/README.txt"
crlf /usr/share/common-licenses/LGPL-3 "$DIR/licences/Qt-LGPL-3.txt"
crlf /usr/share/common-licenses/GPL-3 "$DIR/licences/GPL-3.txt"
crlf /usr/share/common-licenses/GPL-2 "$DIR/licences/GPL-2.txt"
crlf /usr/share/doc/libqt5core5a/copyright "$DIR/licences/Qt-and-what-it-carries.txt"
crlf "$QT/README.md" "$DIR/licences/Qt-build.txt"
crlf /usr/share/doc/gcc-mingw-w64-base/copyright "$DIR/licences/MinGW-GCC-runtime.txt"
crlf /usr/share/doc/mingw-w64-common/copyright "$DIR/licences/MinGW-w64-runtime.txt"

ZIP="$OUT/$NAME.zip"
(cd "$OUT" && zip -qr9 "$ZIP" "$NAME")

# The uninstaller removes what the installer put there and nothing else.
LIST="$OUT/uninstall-files.nsh"
(cd "$DIR" && find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|    Delete "$INSTDIR\\&"|'
 cd "$DIR" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|    RMDir "$INSTDIR\\&"|') >"$LIST"
installer() { # version file-version output
    makensis -V2 -DVERSION="$1" -DFILEVERSION="$2" -DSOURCE="$DIR" -DOUTFILE="$3" \
        -DFILELIST="$LIST" -DICON="$ROOT/data/quelvan.ico" tools/windows/quelvan.nsi
}
SETUP="$OUT/$NAME-setup.exe"
installer "$VERSION" "$FILEVERSION" "$SETUP"
# The MSI of the same files, for deployment by policy.
MSI="$OUT/$NAME.msi"
sh tools/windows/msi.sh "$DIR" "$VERSION" "$FILEVERSION" "$MSI"
# An older installer and MSI of the same files, for the checks that a newer one replaces
# it and that it is refused over a newer one.
OLDER="$(mktemp -d)"
trap 'rm -rf "$OLDER"' EXIT
installer "1.0.0~older" "1.0.0.0" "$OLDER/quelvan-older-windows-x64-setup.exe"
sh tools/windows/msi.sh "$DIR" "1.0.0~older" "1.0.0.0" "$OLDER/quelvan-older-windows-x64.msi"

sh tools/windows/check.sh "$DIR" "$SETUP" "$OLDER/quelvan-older-windows-x64-setup.exe" "$VERSION" \
    "$FILEVERSION" "$MSI" "$OLDER/quelvan-older-windows-x64.msi"

echo "$ZIP"
echo "$SETUP"
echo "$MSI"
