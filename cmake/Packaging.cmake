# The Debian package, made by `make package` (cpack -G DEB) from the install rules:
# build/vantrix_<version>_<architecture>.deb.
set(VANTRIX_PACKAGE_MAINTAINER "Vantrix developers <vantrix@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrix)
set(CPACK_PACKAGE_VENDOR "Vantrix developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VANTRIX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "list of game servers checked over UDP")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vantrix keeps a list of multiplayer game servers and asks each of them for its\n"
    "state with the connectionless UDP query protocol that these servers answer.\n"
    "The replies fill the list with each server's name, map, ping, players, type,\n"
    "operating system and password flag; further windows show one server's players\n"
    "and rules and log every datagram. Lists are kept in the program's own files,\n"
    "imported from two other tools and exported as text.\n"
    "\n")
string(APPEND CPACK_PACKAGE_DESCRIPTION
       "The package also holds vantrix-check, which checks whole lists in parallel\n"
       "from the command line, and vantrix-fakeserver, simulated servers on the\n"
       "loopback address for trying it out.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debug information stays in the build tree; the package carries stripped programs.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VANTRIX_PACKAGE_MAINTAINER})
# Not "games": that section is for the games themselves, installed in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps reads the programs' libraries and names the Qt 6, C++ runtime and location
# library (libloc1) packages with their least versions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The country database and the flags are read at run time when they are there; xdg-open starts
# the game for the default join command.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libloc-database, iso-flags-svg, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Files owned by root whatever user builds the package.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The Debian change log, compressed as the system keeps it, goes in with the package only: an
# install component that a plain `cmake --install` leaves out. The package is made by the
# program's own developers (a native package), so the file is changelog.gz.
set(VANTRIX_DEBIAN_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.Debian ${CMAKE_BINARY_DIR}/packaging/changelog.Debian
               @ONLY)
add_custom_command(OUTPUT ${VANTRIX_DEBIAN_CHANGELOG}
                   COMMAND ${VANTRIX_GZIP} -9 -n -c ${CMAKE_BINARY_DIR}/packaging/changelog.Debian >
                           ${VANTRIX_DEBIAN_CHANGELOG}
                   DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.Debian
                   COMMENT "Compressing the Debian change log")
add_custom_target(vantrix_debian_changelog ALL DEPENDS ${VANTRIX_DEBIAN_CHANGELOG})
install(FILES ${VANTRIX_DEBIAN_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrix
        COMPONENT debian EXCLUDE_FROM_ALL)
# Everything, then the Debian part, into the same staging folder.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Vantrix;ALL;/;${CMAKE_BINARY_DIR};Vantrix;debian;/")

include(CPack)
