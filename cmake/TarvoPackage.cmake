# The Debian package (cpack -G DEB in the build folder): the installed programs and manual pages,
# with the shared libraries they link declared as dependencies by dpkg-shlibdeps, and the CUPS
# library, which the program loads itself at the first print.
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
tarvo-dbfwrite writes both tables from lines of text or CSV; tarvo-inspect tells\n\
what tarvochart reads from two tables and why a chart looks as it does;\n\
tarvo-batch renders many charts in one process, on every core.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcups2 (>= 1.7.0)")
# The program prints to a CUPS server, which need not run on this machine.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS cups)
set(CPACK_STRIP_FILES ON)
include(CPack)
