# Installation of the programs: each program goes to bin/ with its manual page, written in the man
# page format beside its sources, to share/man/man1/, compressed as Debian keeps manual pages.
#
#   tarvo_install_program(TARGET PAGE)   e.g. tarvo_install_program(tarvo-dbfwrite tarvo-dbfwrite.1)
include(GNUInstallDirs)

function(tarvo_install_program target page)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/${page})
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/${page})
  # -n: no name or time stamp inside, so that the same page always packs to the same bytes.
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${source}
    COMMENT "Compressing the manual page ${page}"
    VERBATIM)
  add_custom_target(${target}-manpage ALL DEPENDS ${copy}.gz)
  install(FILES ${copy}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
