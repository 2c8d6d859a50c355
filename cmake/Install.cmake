# What `cmake --install` puts where: the programs, the menu entry, the icons, the list-file type,
# the manual pages and the marker that tells an installed copy to keep config.ini in the user's
# configuration folder. Tests, benchmarks and their support library stay in the build tree.
include(GNUInstallDirs)

set(VANTRIX_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(VANTRIX_ICON_DIR ${CMAKE_SOURCE_DIR}/src/gui/icons)

# The command-line programs of tools/, and the window when it is part of this build.
set(VANTRIX_INSTALLED_PROGRAMS vantrix-fakeserver vantrix-check)
if(VANTRIX_GUI)
  list(PREPEND VANTRIX_INSTALLED_PROGRAMS vantrix)
endif()
install(TARGETS ${VANTRIX_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# A stripped install (the package) drops the compiler's notes too, as Debian's own packages do.
foreach(program ${VANTRIX_INSTALLED_PROGRAMS})
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endforeach()

# The program finds the marker relative to its own folder, so it works for any prefix.
set(VANTRIX_MARKER_DIR ${CMAKE_INSTALL_DATADIR}/vantrix)
file(RELATIVE_PATH VANTRIX_INSTALLED_MARKER ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/vantrix/installed)
target_compile_definitions(vantrix_core PRIVATE VANTRIX_INSTALLED_MARKER="${VANTRIX_INSTALLED_MARKER}")
install(FILES ${VANTRIX_PACKAGING_DIR}/installed DESTINATION ${VANTRIX_MARKER_DIR})

# Beside the marker, the settings an installed copy reads while the user has no config.ini of
# their own: the nine default lines and the protocol that the servers of today answer. Written
# here, byte for byte with its CR LF line ends; a test compares it with the program's own text.
set(VANTRIX_INSTALLED_CONFIG ${CMAKE_BINARY_DIR}/packaging/config.ini)
file(WRITE ${VANTRIX_INSTALLED_CONFIG}
     "BufferSize=8192\r\nBroadcast=0\r\nUDPDelay=5\r\nPacketLog=1\r\nConnect=1\r\nDefaultPort=27015\r\n"
     "Progress=1\r\nListColor=clWhite\r\nTextColor=clBlack\r\nQueryProtocol=current\r\n")
install(FILES ${VANTRIX_INSTALLED_CONFIG} DESTINATION ${VANTRIX_MARKER_DIR})

# The menu entry and, beside it, the description that software centres list (its id is the
# entry's file name; the version is filled in).
set(VANTRIX_APP_ID org.example.vantrix)
set(VANTRIX_METAINFO ${CMAKE_BINARY_DIR}/packaging/${VANTRIX_APP_ID}.metainfo.xml)
configure_file(${VANTRIX_PACKAGING_DIR}/${VANTRIX_APP_ID}.metainfo.xml ${VANTRIX_METAINFO} @ONLY)

if(VANTRIX_GUI)
  install(FILES ${VANTRIX_PACKAGING_DIR}/${VANTRIX_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${VANTRIX_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${VANTRIX_PACKAGING_DIR}/vantrix-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME vantrix.xml)
  foreach(size 16 32 48 128)
    install(FILES ${VANTRIX_ICON_DIR}/vantrix${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vantrix.png)
  endforeach()
  install(FILES ${VANTRIX_ICON_DIR}/vantrix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# Manual pages, with the version filled in and compressed as the system keeps them. gzip -n
# leaves out the name and time, so the same page always gives the same bytes.
find_program(VANTRIX_GZIP gzip REQUIRED)
set(VANTRIX_MAN_PAGES "")
foreach(program ${VANTRIX_INSTALLED_PROGRAMS})
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  configure_file(${VANTRIX_PACKAGING_DIR}/man/${program}.1 ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz
                     COMMAND ${VANTRIX_GZIP} -9 -n -c ${page} > ${page}.gz
                     DEPENDS ${page} ${VANTRIX_PACKAGING_DIR}/man/${program}.1
                     COMMENT "Compressing the manual page ${program}.1")
  list(APPEND VANTRIX_MAN_PAGES ${page}.gz)
endforeach()
add_custom_target(vantrix_man_pages ALL DEPENDS ${VANTRIX_MAN_PAGES})
install(FILES ${VANTRIX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The package's documentation folder: the copyright notice; the Debian change log goes in with
# the package only (see Packaging.cmake).
install(FILES ${VANTRIX_PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrix)

if(VANTRIX_TESTS)
  # An install into a fresh folder, checked file by file (the menu entry validated, the manual
  # pages rendered, the icons compared with the artwork), and the Debian package made and checked.
  # The expected programs come from the tree (the window when it is built, every folder of
  # tools/), not from the list above, so a program left out of the install is caught.
  if(VANTRIX_GUI)
    set(window_built 1)
  else()
    set(window_built 0)
  endif()
  foreach(mode tree package)
    add_test(NAME install.${mode}
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/check-install.sh ${mode} ${CMAKE_BINARY_DIR}
                     ${CMAKE_SOURCE_DIR} ${VANTRIX_INSTALLED_MARKER} ${window_built} ${PROJECT_VERSION})
    set_tests_properties(install.${mode} PROPERTIES LABELS install TIMEOUT 300)
  endforeach()
  # The software-centre description, validated offline when the validator is installed.
  find_program(VANTRIX_APPSTREAMCLI appstreamcli)
  if(VANTRIX_APPSTREAMCLI)
    add_test(NAME packaging.metainfo COMMAND ${VANTRIX_APPSTREAMCLI} validate --no-net ${VANTRIX_METAINFO})
    set_tests_properties(packaging.metainfo PROPERTIES LABELS install TIMEOUT 60)
  endif()
  # Both write cmake's install_manifest.txt in the build folder.
  set_tests_properties(install.tree install.package PROPERTIES RESOURCE_LOCK vantrix_install_manifest)
endif()
