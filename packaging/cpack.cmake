# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package heatx_<version>-1_amd64.deb: stripped, hardened (release
# preset), with the library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME heatx)
set(CPACK_PACKAGE_VENDOR "heatx developers")
set(CPACK_PACKAGE_CONTACT "heatx developers <heatx@heatx-project.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching program for the design of shell-and-tube heat exchangers")
set(CPACK_PACKAGE_DESCRIPTION [=[heatx teaches students the design calculation of gas-liquid
shell-and-tube heat exchangers: a heater or dephlegmator heated by steam,
and a liquid-liquid cooler. The student enters the physical properties
line by line, corrects them until they pass the range checks, chooses the
construction and gets the heat transfer coefficients, the required
surface and the Reynolds numbers; every result can be added to a dated
report, printed or saved as PDF. The windows and reports are in Russian.

The command-line tool heatx-batch gives teachers the answers to all
variants of a group at once, as a table or as ready reports.]=])
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://heatx-project.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The libraries come from dpkg-shlibdeps. The xcb plugin and Liberation (the
# metrics the windows were laid out for) are needed; the rest improves.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "qt6-wayland, qt6-translations-l10n, fonts-dejavu-core, fonts-urw-base35")
include(CPack)
