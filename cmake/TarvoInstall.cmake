# Installation of the programs: each program goes to bin/ with its manual page, written in the man
# page format beside its sources, to share/man/man1/, compressed as Debian keeps manual pages.
# The target "programs" builds every program and every file that the install takes, and nothing
# else.
#
#   tarvo_install_program(TARGET PAGE)   e.g. tarvo_install_program(tarvo-dbfwrite tarvo-dbfwrite.1)
#   tarvo_install_gzipped(SOURCE NAME DESTINATION)   installs SOURCE compressed as NAME.gz
include(GNUInstallDirs)

# The installed programs and the window part are stripped of their symbols unless the install is
# told otherwise (cmake --install ... --strip strips whatever this says).
option(TARVO_INSTALL_STRIP "Strip the programs and the window part when installing" ON)
install(CODE "if(NOT DEFINED CMAKE_INSTALL_DO_STRIP)
  set(CMAKE_INSTALL_DO_STRIP ${TARVO_INSTALL_STRIP})
endif()")

add_custom_target(programs)

function(tarvo_install_gzipped source name destination)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/${name})
  # -n: no name or time stamp inside, so that the same file always packs to the same bytes.
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  add_custom_target(${name}-gz ALL DEPENDS ${copy}.gz)
  add_dependencies(programs ${name}-gz)
  install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()

function(tarvo_install_program target page)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  add_dependencies(programs ${target})
  tarvo_install_gzipped(${CMAKE_CURRENT_SOURCE_DIR}/${page} ${page} ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
