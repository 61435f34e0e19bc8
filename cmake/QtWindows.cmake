# Where scripts/build-qt-windows.sh keeps the static Qt of the Windows editor, outside the
# checkout so that every clone and every build folder shares it:
#
#   ${XDG_CACHE_HOME:-~/.cache}/trackwright/qt-<version>-windows-x64-<key>/
#       prefix/     Qt as installed
#       complete    written last, once the install is whole: what the key was made of and a
#                   checksum of every installed file
#
# The key is a hash of what decides the build: Debian's Qt source version (the same as the host
# tools, which must match), the mingw-w64 compiler and runtime versions, and the options in
# qt-windows.options. An entry without `complete` is unfinished and never used.
#
# Included by the mingw-w64 toolchain file, it sets TRACKWRIGHT_QT_WINDOWS_DIR and, when that
# entry is complete, TRACKWRIGHT_QT_WINDOWS_PREFIX, unless that is given already
# (-DTRACKWRIGHT_QT_WINDOWS_PREFIX=DIR: another Qt for Windows, such as one to relink with). Run as a script
# (`cmake -P cmake/QtWindows.cmake`) it prints the entry's folder and, on a second line, the
# text its key was made of.

# The version of an installed Debian package (FIELD: Version, or source:Version for its source
# package's), "none" without one.
function(trackwright_package_version package field out)
  execute_process(COMMAND dpkg-query -W "-f=\${${field}}" ${package}
    OUTPUT_VARIABLE version RESULT_VARIABLE rc ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0 OR version STREQUAL "")
    set(version "none")
  endif()
  set(${out} "${version}" PARENT_SCOPE)
endfunction()

function(trackwright_qt_windows_entry dir_out inputs_out)
  trackwright_package_version(qt6-base-dev source:Version qt_version)
  trackwright_package_version(g++-mingw-w64-x86-64-posix Version compiler_version)
  trackwright_package_version(mingw-w64-x86-64-dev Version runtime_version)
  file(STRINGS "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/qt-windows.options" option_lines)
  set(options "")
  foreach(line IN LISTS option_lines)
    string(STRIP "${line}" line)
    if(NOT line STREQUAL "" AND NOT line MATCHES "^#")
      string(APPEND options " ${line}")
    endif()
  endforeach()
  # The first word is the entry's format: raise it when build-qt-windows.sh changes what an
  # entry holds.
  set(inputs "entry 1; qt6-base ${qt_version}; mingw-w64 g++ ${compiler_version}, runtime ${runtime_version};${options}")
  string(SHA256 hash "${inputs}")
  string(SUBSTRING "${hash}" 0 12 key)
  # 6.4.2+dfsg-10 -> 6.4.2
  string(REGEX REPLACE "[+~-].*" "" upstream "${qt_version}")
  if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(cache "$ENV{XDG_CACHE_HOME}")
  else()
    set(cache "$ENV{HOME}/.cache")
  endif()
  set(${dir_out} "${cache}/trackwright/qt-${upstream}-windows-x64-${key}" PARENT_SCOPE)
  set(${inputs_out} "${inputs}" PARENT_SCOPE)
endfunction()

trackwright_qt_windows_entry(TRACKWRIGHT_QT_WINDOWS_DIR TRACKWRIGHT_QT_WINDOWS_INPUTS)
if(TRACKWRIGHT_QT_WINDOWS_PREFIX)
  # Given on the command line: a Qt for Windows of one's own, used as it is.
elseif(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${TRACKWRIGHT_QT_WINDOWS_DIR}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${TRACKWRIGHT_QT_WINDOWS_INPUTS}")
elseif(EXISTS "${TRACKWRIGHT_QT_WINDOWS_DIR}/complete")
  set(TRACKWRIGHT_QT_WINDOWS_PREFIX "${TRACKWRIGHT_QT_WINDOWS_DIR}/prefix")
endif()
