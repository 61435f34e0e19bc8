# Cross build for 64-bit Windows with Debian's mingw-w64 compilers (packages g++-mingw-w64-x86-64,
# the "-posix" variants, whose std::thread runs on winpthreads).
#
# Everything is linked statically, the C and C++ runtimes and winpthread included, so that the
# executables run on a bare Windows without any of the compiler's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRACKWRIGHT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRACKWRIGHT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRACKWRIGHT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRACKWRIGHT_MINGW_TRIPLE}-windres)

# Libraries and headers come from the mingw sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TRACKWRIGHT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# GoogleTest is not packaged for this target; tests/CMakeLists.txt builds it from this source
# with the compiler above.
set(TRACKWRIGHT_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree for cross builds")

# Qt for the editor: the static build that scripts/build-qt-windows.sh keeps in its cache, used
# once it is complete. Its tools (moc, rcc, uic) are Debian's host Qt of the same version; the
# find-root rules above would hide them in /usr, hence QT_HOST_PATH_CMAKE_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/QtWindows.cmake)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TRACKWRIGHT_QT_WINDOWS_PREFIX)
if(TRACKWRIGHT_QT_WINDOWS_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${TRACKWRIGHT_QT_WINDOWS_PREFIX}")
  list(PREPEND CMAKE_PREFIX_PATH "${TRACKWRIGHT_QT_WINDOWS_PREFIX}")
  set(QT_HOST_PATH /usr)
  execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH
    OUTPUT_VARIABLE TRACKWRIGHT_HOST_MULTIARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${TRACKWRIGHT_HOST_MULTIARCH}/cmake)
endif()
