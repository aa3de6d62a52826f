# The Debian package (cpack -G DEB in the build folder): the installed programs and manual pages,
# with the shared libraries they link declared as dependencies by dpkg-shlibdeps, and the CUPS
# library, which the program loads itself at the first print; and the documentation folder with
# README.md with the reference pages under docs/ and their images, the examples, the changelogs
# and the copyright file.
set(TARVO_PACKAGE_MAINTAINER "tarvochart maintainers <maintainers@tarvochart.invalid>"
  CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvochart)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TARVO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "business charts from two dBASE tables written by a host")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "A host application describes one chart in two dBASE tables: a property table\n\
(chart style, data sets, titles, colours, what to output) and a data table (one\n\
record per category). tarvochart draws the chart (pie, line, vertical or\n\
horizontal bars, flat or 3D) and, as the properties ask, shows it in a window,\n\
prints it through CUPS, or saves it as a PNG, SVG, PDF or BMP file without a\n\
window.\n\
.\n\
tarvo-dbfwrite writes both tables from lines of text or CSV; tarvo-inspect\n\
tells what tarvochart reads from two tables and why a chart looks as it does;\n\
tarvo-batch renders many charts in one process, on every core. README.md, the\n\
reference pages, the examples and the changelog are in\n\
/usr/share/doc/tarvochart.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The chart's texts are drawn in DejaVu Sans, read from that package's files by path.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcups2 (>= 1.7.0), fonts-dejavu-core")
# The program prints to a CUPS server, which need not run on this machine.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS cups)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The documentation folder, as Debian lays it out: changelogs compressed, the copyright file in
# the machine-readable format with the licence of LICENSE.
set(TARVO_DEBIAN_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE TARVO_COPYRIGHT REGEX "^Copyright")
string(REGEX REPLACE "^Copyright (\\(c\\) )?" "" TARVO_COPYRIGHT "${TARVO_COPYRIGHT}")
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
string(REGEX REPLACE "^.*\n(Permission)" "\\1" license "${license}")
string(STRIP "${license}" license)
string(REGEX REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " license "${license}")
set(TARVO_LICENSE_PARAGRAPHS " ${license}")
configure_file(cmake/debian/copyright.in debian/copyright @ONLY)
configure_file(cmake/debian/changelog.Debian.in debian/changelog.Debian @ONLY)

install(FILES README.md ${PROJECT_BINARY_DIR}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The reference pages that README links, laid out as in the source so that every link holds; the
# texts that scripts/reference.py writes them from stay out.
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png" PATTERN reference EXCLUDE)
tarvo_install_gzipped(${PROJECT_SOURCE_DIR}/CHANGELOG changelog ${CMAKE_INSTALL_DOCDIR})
tarvo_install_gzipped(${PROJECT_BINARY_DIR}/debian/changelog.Debian changelog.Debian
  ${CMAKE_INSTALL_DOCDIR})
# The examples' tables and texts, and their scripts executable; images that a script rendered
# into an example's folder stay out.
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE
  PATTERN "*.sh" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE
  REGEX "\\.(png|svg|pdf|bmp)$" EXCLUDE)
