# The Debian package, built by `cpack -G DEB` in the build folder.
set(VGX52_PACKAGE_MAINTAINER "VGX52 developers <vgx52@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME vgx52)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "BRANDOLUX")
set(CPACK_PACKAGE_CONTACT "${VGX52_PACKAGE_MAINTAINER}")
# Debian shows the description as it is: lines shorter than 80 characters.
# Each package's first line is its summary.
string(CONCAT VGX52_PACKAGE_DESCRIPTION
  "operator program for the VGX52 gas-parameter meter\n"
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

# One package per installation component: the programs (vgx52), and the
# SDK's shared libraries and its development files (sdk/).
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program libraries development)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME vgx52)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "${VGX52_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_NAME ${VGX52_SDK_PACKAGE})
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_SECTION libs)
string(CONCAT CPACK_DEBIAN_LIBRARIES_DESCRIPTION
  "Korvi70 and Toolvane libraries for VGX52 and other instruments\n"
  "Korvi70 speaks the instrument protocol over a serial line, a Korvi70 TCP\n"
  "server or a dial-up modem: generic and VGX52 commands, the connection\n"
  "configuration, password, I/O, loader commands, the modem and the dialogs.\n"
  "Toolvane holds folders, CRC-16, time since 2000, gas properties, TYP1 data\n"
  "files, thermometer characteristics and serial-number associations.\n\n"
  "This package holds the shared libraries (and libbrandolux beneath them:\n"
  "the user interface of their dialogs, serial ports, TCP and files).")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${VGX52_SDK_DEV_PACKAGE})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS libraries)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
string(CONCAT CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
  "Korvi70 and Toolvane libraries for VGX52 and other instruments (development)\n"
  "The C headers (valid C99 and C++), the static libraries, the CMake packages\n"
  "Korvi70 and Toolvane, pkg-config files, the API reference and three example\n"
  "programs: identifying an instrument, reading and writing a register, reading\n"
  "a thermometer characteristic.")
# The shared libraries' shlibs entries, and ldconfig run by its trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/debian/sdk/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
