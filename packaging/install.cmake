# The installed tree (cmake --install) and the Debian package (cpack):
#   bin/plumex, bin/plumex-cli
#   share/applications/plumex.desktop        the menu entry, also the desktop's mailto: handler
#   share/icons/hicolor/scalable/apps/plumex.svg
#   share/man/man1/plumex-cli.1
#   share/doc/plumex/guide.html               the guide "使用方法" also shows
include(GNUInstallDirs)

install(TARGETS plumex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET plumex)
  install(TARGETS plumex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/plumex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/plumex.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/ui/help/guide.html DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/plumex)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/plumex-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME plumex)
set(CPACK_PACKAGE_VENDOR "Plumex")
set(CPACK_PACKAGE_CONTACT "Plumex <plumex@example.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese e-mail client (POP3, SMTP) with a command-line tool")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PLUMEX_HOMEPAGE}")
# The shared libraries (Qt, GMime, OpenSSL, libjpeg, ICU) are found by dpkg-shlibdeps; Qt's
# Japanese texts and a Japanese font are data, named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, ca-certificates")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk, xdg-utils")
include(CPack)
