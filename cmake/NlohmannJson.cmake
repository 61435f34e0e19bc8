# Provides the imported target nlohmann_json::nlohmann_json (the header-only JSON library of
# Debian's nlohmann-json3-dev) on every preset.
#
# Native builds use the package's own CMake configuration. The mingw-w64 cross build cannot: its
# toolchain finds packages in the mingw sysroot only, and Debian's configuration would put
# /usr/include on the cross compiler's include path, where the host's C library headers would
# shadow mingw's. The headers hold no code for any one machine, so the cross build copies
# nlohmann/ from TRACKWRIGHT_NLOHMANN_JSON_INCLUDE into its build tree and makes the same target
# from that copy alone.
set(TRACKWRIGHT_NLOHMANN_JSON_MIN_VERSION 3.11.2)

if(TARGET nlohmann_json::nlohmann_json)
  return()
endif()

if(NOT CMAKE_CROSSCOMPILING)
  find_package(nlohmann_json ${TRACKWRIGHT_NLOHMANN_JSON_MIN_VERSION} CONFIG QUIET)
  if(NOT nlohmann_json_FOUND)
    message(FATAL_ERROR "nlohmann_json ${TRACKWRIGHT_NLOHMANN_JSON_MIN_VERSION} or later not found: "
      "install Debian's nlohmann-json3-dev (scripts/install-deps.sh does), or MSYS2's "
      "mingw-w64-ucrt-x86_64-nlohmann-json")
  endif()
  return()
endif()

set(TRACKWRIGHT_NLOHMANN_JSON_INCLUDE /usr/include CACHE PATH
  "Folder holding nlohmann/json.hpp, copied into the build tree of a cross build")
set(_tw_json_header ${TRACKWRIGHT_NLOHMANN_JSON_INCLUDE}/nlohmann/json.hpp)
if(NOT EXISTS ${_tw_json_header})
  message(FATAL_ERROR "${_tw_json_header} not found: install Debian's nlohmann-json3-dev "
    "(scripts/install-deps.sh does) or set TRACKWRIGHT_NLOHMANN_JSON_INCLUDE")
endif()

# The version the headers declare (in detail/abi_macros.hpp of the multi-header layout, in json.hpp
# of the single-header one), checked as find_package would.
set(_tw_json_version_file ${TRACKWRIGHT_NLOHMANN_JSON_INCLUDE}/nlohmann/detail/abi_macros.hpp)
if(NOT EXISTS ${_tw_json_version_file})
  set(_tw_json_version_file ${_tw_json_header})
endif()
file(STRINGS ${_tw_json_version_file} _tw_json_version_lines
  REGEX "^#define NLOHMANN_JSON_VERSION_(MAJOR|MINOR|PATCH) [0-9]+")
set(_tw_json_version "")
foreach(part MAJOR MINOR PATCH)
  string(REGEX MATCH "NLOHMANN_JSON_VERSION_${part} ([0-9]+)" _ "${_tw_json_version_lines}")
  list(APPEND _tw_json_version ${CMAKE_MATCH_1})
endforeach()
list(JOIN _tw_json_version "." _tw_json_version)
if(_tw_json_version VERSION_LESS TRACKWRIGHT_NLOHMANN_JSON_MIN_VERSION)
  message(FATAL_ERROR "${_tw_json_version_file} declares version '${_tw_json_version}'; "
    "${TRACKWRIGHT_NLOHMANN_JSON_MIN_VERSION} or later is needed")
endif()

# Copied afresh at each configure, so that an upgraded package reaches the build.
set(_tw_json_copy ${CMAKE_BINARY_DIR}/third_party/nlohmann_json/include)
file(REMOVE_RECURSE ${_tw_json_copy})
file(COPY ${TRACKWRIGHT_NLOHMANN_JSON_INCLUDE}/nlohmann DESTINATION ${_tw_json_copy})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_tw_json_version_file})

# Imported, so that its folder is a system include and the project's warnings stay on its own code.
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_tw_json_copy})
message(STATUS "nlohmann_json ${_tw_json_version}: headers copied from ${TRACKWRIGHT_NLOHMANN_JSON_INCLUDE}")
