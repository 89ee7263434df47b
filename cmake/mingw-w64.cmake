# Cross-builds the Windows programs on Debian with MinGW-w64 (posix threads, as the Qt for
# Windows in QUELVAN_QT_MINGW was built). Usage:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DQUELVAN_QT_MINGW=/path/to/qt5-mingw
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT QUELVAN_QT_MINGW)
    set(QUELVAN_QT_MINGW "$ENV{QUELVAN_QT_MINGW}")
endif()
if(NOT QUELVAN_QT_MINGW)
    get_filename_component(QUELVAN_QT_MINGW "${CMAKE_CURRENT_LIST_DIR}/../../shared/qt5-mingw"
                           ABSOLUTE)
endif()
set(QUELVAN_QT_MINGW "${QUELVAN_QT_MINGW}" CACHE PATH "Qt 5.15 built for 64-bit Windows")
# try_compile runs in a project of its own: it must see the same Qt.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUELVAN_QT_MINGW)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${QUELVAN_QT_MINGW}")
set(CMAKE_PREFIX_PATH "${QUELVAN_QT_MINGW}")
# Programs (moc, rcc, git) come from the build machine; libraries and headers never do.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
