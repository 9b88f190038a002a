# Installing the program and packaging it (cmake --install, cpack -G DEB).
#
# Layout below the prefix:
#   lib/chronark/chronark            the program and chronark-cli, with the maker libraries
#   lib/chronark/chronark-cli        and the "export" folder beside them, where they look
#   lib/chronark/lib*.so             for them
#   lib/chronark/export/
#   bin/chronark, bin/chronark-cli   links to the programs (they find their folder through
#                                    the link's target)
#   share/applications/chronark.desktop, share/mime/packages/chronark.xml,
#   share/icons/hicolor/<size>/apps/chronark.{png,svg}
include(GNUInstallDirs)

set(CHRONARK_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/chronark)
set(CHRONARK_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging/linux)

install(TARGETS chronark chronark-cli RUNTIME DESTINATION ${CHRONARK_INSTALL_PROGRAM_DIR})
install(TARGETS infopane revwatch LIBRARY DESTINATION ${CHRONARK_INSTALL_PROGRAM_DIR})
# The ready-made export profiles and their templates, as the build placed them.
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/export DESTINATION ${CHRONARK_INSTALL_PROGRAM_DIR})

# Relative links, so the tree works under any prefix and inside the package.
foreach(program chronark chronark-cli)
  file(RELATIVE_PATH link_target /${CMAKE_INSTALL_BINDIR} /${CHRONARK_INSTALL_PROGRAM_DIR}/${program})
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
    get_filename_component(dir \"\${link}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${dir}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK \"${link_target}\" \"\${link}\" SYMBOLIC)
    message(STATUS \"Installing: \${link} -> ${link_target}\")
  ")
endforeach()

install(FILES ${CHRONARK_PACKAGING_DIR}/chronark.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CHRONARK_PACKAGING_DIR}/chronark-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME chronark.xml)
install(FILES ${PROJECT_SOURCE_DIR}/app/resources/chronark.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 256)
  install(FILES ${PROJECT_SOURCE_DIR}/app/resources/chronark${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME chronark.png)
endforeach()

# The Debian package. The desktop's file triggers refresh the MIME and menu databases.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chronark)
# "1.3 Beta 2" becomes "1.3~beta2", which Debian sorts before the final "1.3".
string(TOLOWER "${CHRONARK_VERSION_TEXT}" chronark_package_version)
string(REGEX REPLACE " +([a-z]+) *" "~\\1" chronark_package_version "${chronark_package_version}")
set(CPACK_PACKAGE_VERSION "${chronark_package_version}")
set(CPACK_DEBIAN_PACKAGE_VERSION "${chronark_package_version}")
set(CPACK_PACKAGE_VENDOR "Velmoor Software")
set(CPACK_PACKAGE_CONTACT "Velmoor Software <support@velmoor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Zeiterfassung mit Stoppuhr und Projekten")
set(CPACK_PACKAGE_INSTALL_DIRECTORY chronark)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6, libqt6printsupport6, libqt6network6, libqt6gui6, libqt6core6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
set(CPACK_STRIP_FILES OFF)
include(CPack)
