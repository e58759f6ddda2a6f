# What `cmake --install` puts on a system beside the programs, and the Debian
# package `make package` builds from it.

set(TQ_HOMEPAGE "https://tq4700.invalid" CACHE STRING
    "Home page of the project; its run-screenshot.png is the software centre's screenshot")
set(TQ_APPSTREAM_ID invalid.tq4700.tq4700)
set(tqPackaging ${PROJECT_SOURCE_DIR}/packaging)
set(tqPackagingOut ${PROJECT_BINARY_DIR}/packaging)

# Desktop entry, icon and the software centre's description.
install(FILES ${tqPackaging}/tq4700.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${tqPackaging}/tq4700.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${tqPackaging}/tq4700.metainfo.xml.in
               ${tqPackagingOut}/${TQ_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${tqPackagingOut}/${TQ_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The udev rule that lets a logged-in user open the meter without root.
set(TQ_UDEV_RULES_DIR "" CACHE PATH
    "Install the udev rule here (empty: /usr/lib/udev/rules.d for prefix /usr, else /etc/udev/rules.d)")
install(CODE "set(TQ_UDEV_RULE \"${tqPackaging}/60-tq4700.rules\")
set(TQ_UDEV_RULES_DIR \"${TQ_UDEV_RULES_DIR}\")")
install(SCRIPT ${tqPackaging}/install-udev-rule.cmake)

# Copyright and changelog as Debian keeps them. The changelog's newest entry
# names the version being built, so the two are never out of step.
file(STRINGS ${tqPackaging}/changelog tqChangelogTop LIMIT_COUNT 1)
if(NOT tqChangelogTop MATCHES "^tq4700 \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with '${tqChangelogTop}': "
                      "add an entry for ${PROJECT_VERSION} first")
endif()
add_custom_command(
  OUTPUT ${tqPackagingOut}/changelog.gz
  COMMAND gzip -9nc ${tqPackaging}/changelog > ${tqPackagingOut}/changelog.gz
  DEPENDS ${tqPackaging}/changelog
  VERBATIM)
add_custom_target(changelog ALL DEPENDS ${tqPackagingOut}/changelog.gz)
install(FILES ${tqPackaging}/copyright ${tqPackagingOut}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Manual pages written by help2man from the programs' own --help, so every
# option a program gains is in its page at the next build. The sanitizer build
# is never installed and leaves them out.
find_program(HELP2MAN help2man)
if(TARGET tq4700 AND TARGET tq4700-sim AND NOT TQ_SANITIZE)
  if(HELP2MAN)
    set(tqManPages "")
    foreach(program tq4700 tq4700-sim)
      set(page ${tqPackagingOut}/${program}.1)
      add_custom_command(
        OUTPUT ${page}.gz
        COMMAND ${HELP2MAN} --no-info --section=1 --include=${tqPackaging}/${program}.h2m
                --output=${page} $<TARGET_FILE:${program}>
        COMMAND gzip -9nf ${page}
        DEPENDS ${program} ${tqPackaging}/${program}.h2m
        COMMENT "Manual page ${program}(1) from ${program} --help"
        VERBATIM)
      list(APPEND tqManPages ${page}.gz)
    endforeach()
    add_custom_target(man_pages ALL DEPENDS ${tqManPages})
    install(FILES ${tqManPages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    message(WARNING "help2man not found: no manual pages (scripts/bootstrap installs it)")
  endif()

  # Builds the .deb, checks it with lintian and appstreamcli, unpacks it and
  # runs the programs and their manual pages from there.
  if(TQ_BUILD_TESTS)
    add_test(NAME packaging_check
             COMMAND ${tqPackaging}/check-package ${PROJECT_BINARY_DIR}
                     ${tqPackagingOut}/check)
    # No display: --version and --help must work without one.
    set_tests_properties(packaging_check PROPERTIES
      ENVIRONMENT "DISPLAY=;WAYLAND_DISPLAY=" SKIP_RETURN_CODE 77 TIMEOUT 300)
  endif()
endif()

set(CPACK_PACKAGE_NAME tq4700)
set(CPACK_PACKAGE_VENDOR "tq4700 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front panel for the TQ4700 multimeter and its scanner card")
# Read here rather than named as CPACK_PACKAGE_DESCRIPTION_FILE, which CPack
# escapes as XML (it showed "kernel&apos;s" in the Debian description).
file(READ ${tqPackaging}/description.txt CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGE_CONTACT "tq4700 developers <dev@tq4700.invalid>")
set(CPACK_STRIP_FILES ON)
# The install step sees the final prefix, as `cmake --install` does, so the
# udev rule goes to /usr/lib/udev/rules.d.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TQ_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Every caption and message holds Traditional Chinese; without a face that
# has it they are rows of boxes. Liberation Sans stands in for Arial.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
