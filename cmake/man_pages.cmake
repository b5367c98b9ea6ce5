# zarn_install_man_page(<source> <section>): fills in @PROJECT_VERSION@,
# compresses the page as Debian wants it (reproducibly: no name, no time) and
# installs it.
find_program(ZARN_GZIP gzip)
function(zarn_install_man_page source section)
  include(GNUInstallDirs)
  get_filename_component(name ${source} NAME)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${name})
  configure_file(${source} ${page} @ONLY)
  if(ZARN_GZIP)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${ZARN_GZIP} -9 -n -c ${page} > ${page}.gz
      DEPENDS ${page}
      COMMENT "Compressing the manual page ${name}")
    add_custom_target(zarn_man_${name} ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  else()
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  endif()
endfunction()
