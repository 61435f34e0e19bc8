# Provides the imported target PkgConfig::LIBYAML (libyaml, Debian's libyaml-dev) where the Linux
# game launchers keep their YAML settings. Windows builds have no such launchers and no libyaml.
if(WIN32 OR TARGET PkgConfig::LIBYAML)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBYAML IMPORTED_TARGET yaml-0.1>=0.2.2)
if(NOT LIBYAML_FOUND)
  message(FATAL_ERROR "libyaml (pkg-config yaml-0.1) not found: install Debian's libyaml-dev "
    "(scripts/install-deps.sh does)")
endif()
