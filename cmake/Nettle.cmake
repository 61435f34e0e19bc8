# Provides the imported target PkgConfig::NETTLE (nettle, Debian's nettle-dev), whose SHA-256 the
# core uses. Windows builds hash with the system's own primitives (bcrypt) instead.
if(WIN32 OR TARGET PkgConfig::NETTLE)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(NETTLE IMPORTED_TARGET nettle>=3.4)
if(NOT NETTLE_FOUND)
  message(FATAL_ERROR "nettle (pkg-config nettle) not found: install Debian's nettle-dev "
    "(scripts/install-deps.sh does)")
endif()
