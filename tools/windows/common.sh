# Shared by the scripts in tools/windows (sourced, from the project's root): windows_build
# installs what is missing (wixl and msitools for the MSI too) and builds the Windows
# programs and tests in build-windows/ against the Qt for Windows in QUELVAN_QT_MINGW
# (default ../shared/qt5-mingw) with warnings as errors; wine_prefix makes a throwaway Wine prefix with an X display of its own.

ROOT="$(pwd)"
QT="${QUELVAN_QT_MINGW:-$ROOT/../shared/qt5-mingw}"
if [ ! -f "$QT/lib/cmake/Qt5/Qt5Config.cmake" ]; then
    echo "tools/windows: no Qt for Windows in $QT; set QUELVAN_QT_MINGW to one" >&2
    exit 1
fi
QT="$(cd "$QT" && pwd)"
BUILD="$ROOT/build-windows"

windows_build() {
    # libqt5core5a brings the notices of what Qt carries, which the zip ships; fonts-wine
    # the fonts a Windows program expects (Tahoma for the dialog font); the build machine's
    # lrelease builds the translations.
    sh tools/install-deps.sh cmake make git python3 zip g++-mingw-w64-x86-64-posix \
        qttools5-dev-tools mingw-w64-common wine wine64 fonts-wine fonts-dejavu-core xvfb xauth \
        nsis libqt5core5a wixl msitools python3-pefile
    cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
        -DQUELVAN_QT_MINGW="$QT" -DCMAKE_BUILD_TYPE=Release -DQUELVAN_WERROR=ON >/dev/null
    cmake --build "$BUILD" --parallel "$(nproc)"
}

# A fresh prefix below $1, and Xvfb for it: Windows' own platform plugin makes a window even
# for a program that shows none. Nothing may ask a question (no Mono, no Gecko). Wine passes
# no QT_* variable from Linux: those go into the prefix's environment, with $2 as a
# "NAME=value" list.
WINE_XVFB=""
wine_prefix() {
    export WINEPREFIX="$1/prefix" WINEDLLOVERRIDES="mscoree=;mshtml=" WINEDEBUG=-all
    unset WINEPATH
    display=90
    while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_XVFB=$!
    export DISPLAY=":$display"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    for setting in ${2:-}; do
        wine reg add 'HKCU\Environment' /v "${setting%%=*}" /d "${setting#*=}" /f >/dev/null
    done
    wineserver -w
}
wine_done() {
    wineserver -k 2>/dev/null || true
    [ -n "$WINE_XVFB" ] && kill "$WINE_XVFB" 2>/dev/null
    return 0
}

# A prefix below $1 in which this build's Windows programs run as the Linux tests do: Qt
# from $QT, the offscreen platform, which has no fonts on Windows but those of
# QT_QPA_FONTDIR (the Linux runs' sans serif font, so that what is measured is alike); $2
# adds "NAME=value" settings.
wine_offscreen_prefix() {
    mkdir -p "$1/fonts"
    cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
        /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$1/fonts/"
    wine_prefix "$1" "QT_PLUGIN_PATH=Z:$QT/plugins QT_QPA_PLATFORM=offscreen \
QT_QPA_FONTDIR=Z:$1/fonts ${2:-}"
    export WINEPATH="Z:$QT/bin"
}
