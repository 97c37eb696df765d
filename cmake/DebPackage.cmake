# The Debian package that `make package` builds with CPack: the installation under /usr, depending
# on the Debian runtime packages of the libraries the programs link.
find_package(Qt6 QUIET COMPONENTS Core)
set(qt "${Qt6_VERSION_MAJOR}.${Qt6_VERSION_MINOR}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesserel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tesserel Project")
set(CPACK_PACKAGE_CONTACT "Tesserel Project <support@tesserel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Field crop record keeper with cost and nutrient reports")
# The long description below the summary line (CPack indents it).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tesserel keeps one record per field and harvest year: soil tests, crop history,
planting, fertilizer, manure, pesticides, field operations, harvest and soils.
It reports production costs, nutrient balances, ranked and tabular summaries and
manure setbacks, and exchanges data with dBASE, SQLite databases and the Soil
Data Mart. The package holds the desktop program, the command-line tool
tesserel-cli, the reference files, state files, help, sample projects and
printable data collection forms.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TESSEREL_WEB_PAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= ${qt}), libqt6gui6 (>= ${qt}), libqt6widgets6 (>= ${qt}), libqt6printsupport6 (>= ${qt}), \
libqt6dbus6 (>= ${qt}), libglx0, libopengl0, libcurl4, libpugixml1v5, libsqlite3-0, libxlsxwriter4, zlib1g, \
libstdc++6, libgcc-s1, libc6, fonts-liberation2")
# Opening web pages and the forms, and the session bus for automation clients. The report fonts are
# a dependency: printed and PDF reports need a fixed-pitch font whose 80 columns fit the line.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, dbus-user-session | dbus-x11")
set(CPACK_STRIP_FILES ON)
include(CPack)
