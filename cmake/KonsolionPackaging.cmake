# Installation and the Debian package: cmake --install, then cpack -G DEB.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/konsolion)

install(TARGETS Konsolion konsolion-sim konsolion-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/konsolion-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME konsolion-cli)
install(FILES packaging/org.ombrix.konsolion.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/konsolion.desktop packaging/konsolion-sim.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/konsolion_icon.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME konsolion.png)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
foreach(page Konsolion konsolion-sim konsolion-cli)
    install(CODE "execute_process(COMMAND gzip -9n -c \"${CMAKE_CURRENT_SOURCE_DIR}/packaging/${page}.1\"
                                  OUTPUT_FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/${page}.1.gz\")")
endforeach()
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(CODE "execute_process(COMMAND gzip -9n -c \"${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog\"
                              OUTPUT_FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR}/changelog.gz\")")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME konsolion)
set(CPACK_PACKAGE_VERSION 1.0)
set(CPACK_PACKAGE_CONTACT "Konsolion developers <konsolion@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the Vantor 49/61 USB MIDI controller keyboard")
set(CPACK_PACKAGE_DESCRIPTION "Konsolion finds the keyboard by itself, reads its configuration over SysEx,
lets you pick a control on a picture of the keyboard and edit what it sends,
sends the configuration back, saves and loads .vr49 files and upgrades the
keyboard's firmware. konsolion-sim runs the same editor against a simulated
keyboard; konsolion-cli backs up, restores, verifies, compares and flashes it
from a terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://konsolion.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
