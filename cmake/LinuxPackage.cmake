# What a Linux desktop wants beside the two programs, installed below /usr, and the Debian
# package that holds it all (CPack's DEB generator): the desktop entry with the application's
# icon, the AppStream metadata, the manual pages, the copyright and the changelog.
# scripts/package-linux.sh builds the package, and the portable folder from the same programs.
include(GNUInstallDirs)

# The project has no address of its own yet: whatever needs one takes this reserved domain, the
# maintainer's mail and the reverse-DNS id of the desktop entry, its icon and the AppStream
# metadata (which must match the desktop file's name).
set(TRACKWRIGHT_DOMAIN "trackwright.invalid")
set(TRACKWRIGHT_MAINTAINER "The Trackwright developers <maintainers@${TRACKWRIGHT_DOMAIN}>")
string(REPLACE "." ";" domain_labels "${TRACKWRIGHT_DOMAIN}")
list(REVERSE domain_labels)
list(JOIN domain_labels "." reversed_domain)
set(TRACKWRIGHT_APP_ID "${reversed_domain}.Trackwright")

# The release's date, in the changelog, the manual pages and the AppStream metadata: the time of
# the commit it is built from, which scripts/package-linux.sh passes as SOURCE_DATE_EPOCH (and
# string(TIMESTAMP) follows); without it, now.
string(TIMESTAMP TRACKWRIGHT_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP TRACKWRIGHT_RELEASE_TIME "%a, %d %b %Y %H:%M:%S +0000" UTC)

set(linux_source "${PROJECT_SOURCE_DIR}/cmake/linux")
set(linux_files "${PROJECT_BINARY_DIR}/linux")
set(desktop_file "${linux_files}/${TRACKWRIGHT_APP_ID}.desktop")
set(metainfo_file "${linux_files}/${TRACKWRIGHT_APP_ID}.metainfo.xml")
configure_file("${linux_source}/trackwright.desktop.in" "${desktop_file}" @ONLY)
configure_file("${linux_source}/trackwright.metainfo.xml.in" "${metainfo_file}" @ONLY)
configure_file("${linux_source}/trackwright.1.in" "${linux_files}/trackwright.1" @ONLY)
configure_file("${linux_source}/changelog.in" "${linux_files}/changelog.Debian" @ONLY)

# The copyright file in Debian's machine-readable form, from the project's LICENSE: its
# "Copyright (c)" line, and the licence's text below it as the paragraph's continuation lines.
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" license)
if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.+)$")
  message(FATAL_ERROR "LICENSE has no \"Copyright (c)\" line followed by the licence's text")
endif()
set(TRACKWRIGHT_COPYRIGHT "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" license_text)
string(REGEX REPLACE "\n\n+" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " TRACKWRIGHT_LICENSE_TEXT " ${license_text}")
configure_file("${linux_source}/copyright.in" "${linux_files}/copyright" @ONLY)

# The manual page of trackwright-cli is written from the usage that the program prints.
add_custom_command(
  OUTPUT "${linux_files}/trackwright-cli.1"
  COMMAND "${CMAKE_COMMAND}" "-DCLI=$<TARGET_FILE:trackwright-cli>"
          "-DTEMPLATE=${linux_source}/trackwright-cli.1.in" "-DOUTPUT=${linux_files}/trackwright-cli.1"
          "-DPROJECT_VERSION=${PROJECT_VERSION}" "-DTRACKWRIGHT_RELEASE_DATE=${TRACKWRIGHT_RELEASE_DATE}"
          -P "${linux_source}/CliManPage.cmake"
  DEPENDS trackwright-cli "${linux_source}/trackwright-cli.1.in" "${linux_source}/CliManPage.cmake"
  COMMENT "Writing the manual page of trackwright-cli from its usage"
  VERBATIM)
# Manual pages and the changelog are installed compressed, without a time stamp in the gzip header.
set(compressed)
foreach(file trackwright.1 trackwright-cli.1 changelog.Debian)
  add_custom_command(
    OUTPUT "${linux_files}/${file}.gz"
    COMMAND gzip -9 -n -k -f "${linux_files}/${file}"
    DEPENDS "${linux_files}/${file}"
    VERBATIM)
  list(APPEND compressed "${linux_files}/${file}.gz")
endforeach()
add_custom_target(trackwright-linux-files ALL DEPENDS ${compressed})

# The programs find their libraries where the system keeps them: no search path of their own
# (qt_standard_project_setup() would give the editor one below its own folder).
set_target_properties(trackwright trackwright-cli PROPERTIES INSTALL_RPATH "")
install(TARGETS trackwright trackwright-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${desktop_file}" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${metainfo_file}" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
# The icon the program draws for its windows, as PNG files trackwright-SIZE.png of the sizes
# that desktops look for (tests/ui/ApplicationIconFileTest.cpp keeps them the same).
file(GLOB icons CONFIGURE_DEPENDS "${linux_source}/icons/trackwright-*.png")
foreach(icon IN LISTS icons)
  string(REGEX REPLACE ".*-([0-9]+)\\.png$" "\\1" size "${icon}")
  install(FILES "${icon}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
    RENAME "${TRACKWRIGHT_APP_ID}.png")
endforeach()
install(FILES "${linux_files}/trackwright.1.gz" "${linux_files}/trackwright-cli.1.gz"
  DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${linux_files}/copyright" "${linux_files}/changelog.Debian.gz"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/trackwright")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trackwright)
set(CPACK_PACKAGE_VENDOR "The Trackwright developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the career tracks of The Sims (2000)")
set(CPACK_PACKAGE_DESCRIPTION
  "Trackwright changes the careers of The Sims (2000) directly in the game's own
files: job levels with their requirements, mood changes, salary, hours, car
pool and skins, their texts in all fifteen languages of the game, chance cards
and job icons. A save changes all of the game's files or none of them, and the
original files are kept so that they can be put back. The game is found in its
Wine or Proton prefix, in Steam, Lutris, Heroic and Bottles.

The package holds the editor (trackwright) and its command-line companion
(trackwright-cli), which loads, dumps, changes and saves the same files
without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TRACKWRIGHT_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies are those of the two programs' libraries, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
