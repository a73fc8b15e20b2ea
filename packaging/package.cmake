# The Debian package, built by `cpack -G DEB` in the build folder.
set(VGX52_PACKAGE_MAINTAINER "VGX52 developers <vgx52@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME vgx52)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "BRANDOLUX")
set(CPACK_PACKAGE_CONTACT "${VGX52_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "operator program for the VGX52 gas-parameter meter")
# Debian shows the description as it is: lines shorter than 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "The operator program polls a VGX52 gas-parameter meter on a serial line,\n"
  "shows whether it answers, sets the gas it measures (dry air, or a\n"
  "composition through the density calculator) and upgrades its firmware from\n"
  "an Intel-HEX file with its settings saved and restored.\n\n"
  "vgx52ctl runs the instrument's commands from the command line for service\n"
  "work and automation; vgx52-sim is a simulated instrument on a\n"
  "pseudo-terminal or behind a TCP gateway, for training and tests.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders as Debian wants them, whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binaries; what they load at run time does not.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 window-system plug-in comes with libqt6gui6, which the binaries
# need anyway; nothing further to depend on.
# The program picks a font with the Polish letters; DejaVu has them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
