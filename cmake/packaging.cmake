# The Debian package: `cpack -G DEB` in the build folder. dpkg-shlibdeps finds the shared
# libraries the programs link; Qt's platform plugins (the X11 or Wayland connection) are loaded
# at run time, not linked, so they are named here.
set(CPACK_PACKAGE_NAME kvhitemp)
set(CPACK_PACKAGE_VENDOR "The KVHiTemp developers")
set(CPACK_PACKAGE_CONTACT "The KVHiTemp developers <kvhitemp@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Thermal barrier model for temperature data loggers")
set(CPACK_PACKAGE_DESCRIPTION
    "Predicts whether a temperature data logger survives a trip through an oven, furnace or\n"
    "quench inside a vacuum dewar, thermal pack or stainless canister. Includes the desktop\n"
    "program kvhitemp and the command-line companion kvhitemp-report.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kvhitemp)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(KVH_BUILD_UI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-dejavu-core")
endif()
set(CPACK_GENERATOR DEB)
include(CPack)
