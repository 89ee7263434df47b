# Fails when a C++ file in src/ or tools/ includes anything but Qt and standard C++ headers,
# or calls the operating system directly: those folders build unchanged on Windows, macOS
# and Linux. Run as: cmake -DROOT=<source folder> -P portable.cmake

set(std_headers
    algorithm any array atomic bitset cassert cctype cerrno cfloat charconv chrono cinttypes
    climits clocale cmath complex condition_variable csetjmp csignal cstdarg cstddef cstdint
    cstdio cstdlib cstring ctime cwchar cwctype deque exception execution filesystem
    forward_list fstream functional future initializer_list iomanip ios iosfwd iostream
    istream iterator limits list locale map memory memory_resource mutex new numeric
    optional ostream queue random ratio regex scoped_allocator set shared_mutex sstream stack
    stdexcept streambuf string string_view system_error thread tuple type_traits typeindex
    typeinfo unordered_map unordered_set utility valarray variant vector)

# Calls that only exist as POSIX or Win32 functions, written with the global qualifier or
# under their usual names.
set(os_calls "(^|[^A-Za-z0-9_>])::(open|close|read|write|unlink|lstat|stat|fstat|rename|renameat2?|fsync|mkdir|chown|chmod|getpid|fork|exec[lv]p?e?|setsockopt|ioctl)[ \t]*\\(|(^|[^A-Za-z0-9_])(CreateFile[AW]?|MoveFileEx[AW]?|GetLastError|_wopen|AttachConsole|GetStdHandle|GetFileType)[ \t]*\\(")

# The one exception: the Windows program attaches to the console it was started from, in
# main, with <windows.h> included under Q_OS_WIN only.
set(console_file "src/app/main.cpp")
set(console_calls "AttachConsole|GetStdHandle|GetFileType")

file(GLOB_RECURSE sources
    "${ROOT}/src/*.cpp" "${ROOT}/src/*.h" "${ROOT}/tools/*.cpp" "${ROOT}/tools/*.h")
set(problems "")
foreach(source IN LISTS sources)
    file(RELATIVE_PATH name "${ROOT}" "${source}")
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*<")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]*)>.*" "\\1" header "${line}")
        if(header MATCHES "^Qt?[A-Za-z0-9_]*(/Q[A-Za-z0-9_]*)?$")
            continue()
        endif()
        list(FIND std_headers "${header}" known)
        if(name STREQUAL console_file AND header STREQUAL "windows.h")
            file(READ "${source}" text)
            if(text MATCHES "#ifdef Q_OS_WIN\n#include <windows.h>\n#endif")
                continue()
            endif()
        endif()
        if(known EQUAL -1)
            string(APPEND problems "${name}: includes <${header}>\n")
        endif()
    endforeach()
    file(STRINGS "${source}" calls REGEX "${os_calls}")
    foreach(line IN LISTS calls)
        string(STRIP "${line}" line)
        if(name STREQUAL console_file AND line MATCHES "(^|[^A-Za-z0-9_])(${console_calls})[ \t]*\\(")
            continue()
        endif()
        string(APPEND problems "${name}: calls the system directly: ${line}\n")
    endforeach()
endforeach()

list(LENGTH sources count)
if(problems)
    message(FATAL_ERROR "Only Qt and standard C++ belong in src/ and tools/:\n${problems}")
endif()
message(STATUS "${count} files in src/ and tools/ use only Qt and standard C++")
