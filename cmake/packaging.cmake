# The Debian package: cpack -G DEB in the release build (or scripts/package).
# Depends is worked out from the binaries by dpkg-shlibdeps.
include(GNUInstallDirs)
set(ZARN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zarn)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${ZARN_DOC_DIR})
# zarn-timing is static on purpose (start-up time); lintian is told so.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME zarn)
# Debian wants the changelog compressed, reproducibly (no name, no time).
if(ZARN_GZIP)
  set(changelog_gz ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
  add_custom_command(OUTPUT ${changelog_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
    COMMAND ${ZARN_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${changelog_gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    COMMENT "Compressing the package changelog")
  add_custom_target(zarn_changelog ALL DEPENDS ${changelog_gz})
  install(FILES ${changelog_gz} DESTINATION ${ZARN_DOC_DIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brask")
set(CPACK_PACKAGE_CONTACT "Brask <support@brask.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for video display timings")
# The long description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zarn works out the timing of a display panel. Enter the horizontal and
vertical geometry (active, front porch, sync and blanking) with a pixel clock
in MHz or a refresh rate in Hz, and Zarn keeps the pixel clock, the refresh
rate and the line frequency consistent as you type. Five predefined VESA
modes can be loaded with one pick.
.
zarn-timing prints the standard video timings exactly to the hertz: the VESA
DMT table, the CTA-861 and HDMI video formats, and the CVT and GTF formulas,
as a table, an X11 modeline or JSON.")
# Qt needs a platform plugin to open a window; the face the windows use.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.brask.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
