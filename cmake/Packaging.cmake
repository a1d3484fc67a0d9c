# Packages of the install tree, made by CPack in a Release build folder: `cpack -G DEB` gives
# pourwise_<version>_<arch>.deb (scripts/package-deb does all of it), and in the Windows build
# `cpack -G NSIS` gives Pourwise-<version>-win64-setup.exe (scripts/package-windows).

set(CPACK_PACKAGE_NAME pourwise)
set(CPACK_PACKAGE_VENDOR "Pourwise project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://pourwise.org/")
# The package answers to the lab that built it, the same contact the About window credits.
set(CPACK_PACKAGE_CONTACT "${POURWISE_AUTHOR_INSTITUTION} <${POURWISE_AUTHOR_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "alcohol dose calculator for research participants")
# Lines of at most 80 characters, as Debian asks.
set(CPACK_PACKAGE_DESCRIPTION [[
Pourwise computes, for one research participant, how many millilitres of spirit
and of mixer to serve so that the participant reaches a chosen target blood
alcohol level at the end of the drinking period. It estimates total body water
with the Watson formulas and allows for elimination during the drinking period.

The package holds the desktop program pourwise and its command-line companion
pourwise-dose, which computes the same doses for scripts and for whole rosters
in CSV files.]])
set(CPACK_STRIP_FILES ON)
# Directories in the package get the usual permissions whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the library scan cannot see them: Qt's platform plugins (the X11 one
# among them), and a face with Arial's metrics that keeps the captions inside their boxes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The Windows installer: the programs in "Program Files\Pourwise", a Start-menu entry for the
# desktop program, and an uninstaller registered with Windows. An installation over an earlier
# one removes the earlier one first.
set(CPACK_NSIS_DISPLAY_NAME Pourwise)
# The installer's title and the Start-menu folder: without the version, so that an upgrade
# keeps the entry where the user found it.
set(CPACK_NSIS_PACKAGE_NAME Pourwise)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Pourwise)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Pourwise)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer for 64-bit programs: it sees the 64-bit registry and program folder, and runs
# where 32-bit programs cannot (Wine without its 32-bit part, Windows on ARM without emulation).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_PACKAGE_EXECUTABLES pourwise Pourwise)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\pourwise.exe")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/pourwise.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/pourwise.ico)
set(CPACK_NSIS_URL_INFO_ABOUT ${CPACK_PACKAGE_HOMEPAGE_URL})
set(CPACK_NSIS_CONTACT ${CPACK_PACKAGE_CONTACT})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/packaging/windows/license.txt)
if(WIN32)
    set(CPACK_PACKAGE_FILE_NAME Pourwise-${PROJECT_VERSION}-win64-setup)
    set(CPACK_GENERATOR NSIS)
endif()

include(CPack)
