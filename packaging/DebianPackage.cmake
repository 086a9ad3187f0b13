# The Debian package: `make package` (the target "package") writes
# perch_<version>_<arch>.deb into the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Perch developers")
set(CPACK_PACKAGE_CONTACT "The Perch developers <maintainers@users.noreply.c-seed-8ed39d0d.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion bird for the desktop that talks and plays chess")
set(CPACK_PACKAGE_DESCRIPTION "Perch is a companion bird for the Linux desktop. It stands on the
desktop, introduces itself on its first run and learns the user's name,
speaks in balloons with a voice in English and Mandarin Chinese, and goes
about everyday routines. It plays chess against the user on a board of its
own, with its own engine, and comments the game.
.
The package holds the companion perch, its tray controller, the command-line
controller perchctl, the engine as a UCI program (perch-uci) and two
viewers (perch-board, perch-character).")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # perch_<version>_<arch>.deb
# A desktop program for X11 (under Wayland through XWayland), its programs in
# /usr/bin: perchctl and perch-uci are called by path from scripts and chess
# programs, and perch-tray finds perch beside itself, as in ~/.local/bin.
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# Libraries come from dpkg-shlibdeps; the voice data and the fonts are read
# at run time and need naming.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data, fonts-wqy-microhei, fonts-liberation")
# Qt's own translations: the dialogs' buttons in the desktop's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Folders in the package are 0755 whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
