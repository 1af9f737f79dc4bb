# Installed extras and the packages: a .deb on Linux (dependencies computed by dpkg-shlibdeps),
# an NSIS installer and a ZIP on Windows, a drag-and-drop disk image on macOS. The packages
# take the programs stripped.
set(VELA_METAINFO_ID org.velaconfig.VelaConfig)
configure_file(${PROJECT_SOURCE_DIR}/packaging/velaconfig.metainfo.xml
  ${PROJECT_BINARY_DIR}/packaging/${VELA_METAINFO_ID}.metainfo.xml @ONLY)
if(WIN32)
  set(VELA_ICON_ICO ${PROJECT_SOURCE_DIR}/data/velaconfig.ico)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/velaconfig.rc.in
    ${PROJECT_BINARY_DIR}/packaging/velaconfig.rc @ONLY)
  if(NOT TARGET velaconfig)
    # Without the window (the core-only cross build) the resources are still compiled, so a
    # mistake in them shows before a Windows build of the window does.
    add_library(velaconfig_resources OBJECT ${PROJECT_BINARY_DIR}/packaging/velaconfig.rc)
  endif()
endif()

if(UNIX AND NOT APPLE)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/${VELA_METAINFO_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # Man pages compressed, as Debian wants them.
  find_program(VELA_GZIP gzip)
  foreach(page velacli vela-sim)
    if(VELA_GZIP)
      add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/${page}.1.gz
        COMMAND ${VELA_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/packaging/${page}.1
                > ${PROJECT_BINARY_DIR}/packaging/${page}.1.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${page}.1 VERBATIM)
      list(APPEND VELA_MAN_PAGES ${PROJECT_BINARY_DIR}/packaging/${page}.1.gz)
    else()
      list(APPEND VELA_MAN_PAGES ${PROJECT_SOURCE_DIR}/packaging/${page}.1)
    endif()
  endforeach()
  add_custom_target(vela_man_pages ALL DEPENDS ${VELA_MAN_PAGES})
  install(FILES ${VELA_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/velacli.bash-completion
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME velacli)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velaconfig RENAME copyright)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
endif()

set(CPACK_PACKAGE_NAME velaconfig)
set(CPACK_PACKAGE_VENDOR "The VelaConfig developers")
set(CPACK_PACKAGE_CONTACT "The VelaConfig developers" CACHE STRING "Maintainer of the packages")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool of the Vela model-railway board")
set(CPACK_PACKAGE_DESCRIPTION
  "VelaConfig reads, edits, writes and verifies the configuration of a Vela board, a\n\
controller with 32 outputs for model-railway layouts, over a serial port. It comes with\n\
velacli, which runs the same board operations from scripts, and vela-sim, a simulated board.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY VelaConfig)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# The package installs where the programs were built to look for their data.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})

if(WIN32)
  set(CPACK_GENERATOR NSIS ZIP)
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
  set(CPACK_PACKAGE_EXECUTABLES velaconfig VelaConfig)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/data/velaconfig.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/data/velaconfig.ico)
  set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\velaconfig.exe)
  set(CPACK_NSIS_DISPLAY_NAME VelaConfig)
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
elseif(APPLE)
  set(CPACK_GENERATOR DragNDrop)
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
  set(CPACK_DMG_VOLUME_NAME VelaConfig)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
endif()
include(CPack)
