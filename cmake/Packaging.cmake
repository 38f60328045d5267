# Installation and the Debian package: the two programs, the desktop entry,
# the theme icons drawn from the window's own icon, the AppStream metainfo and
# the batch runner's man page. Included at the end of the top CMakeLists.txt.
include(GNUInstallDirs)

set(RDSIM_VERSION ${PROJECT_VERSION})
set(RDSIM_APP_ID org.rdsim.rdsim)
set(RDSIM_PACKAGING_DIR ${CMAKE_CURRENT_SOURCE_DIR}/packaging)

install(TARGETS rdsim-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The field file reader every program starts (src/files/field_reader_process.h).
install(TARGETS rdsim-field-reader RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/rdsim)

# Debian wants man pages compressed; elsewhere the plain page serves.
find_program(RDSIM_GZIP gzip)
set(RDSIM_MAN_PAGE ${RDSIM_PACKAGING_DIR}/rdsim-batch.1)
if(RDSIM_GZIP)
  set(RDSIM_MAN_PAGE ${CMAKE_CURRENT_BINARY_DIR}/packaging/rdsim-batch.1.gz)
  add_custom_command(OUTPUT ${RDSIM_MAN_PAGE}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
                     COMMAND ${RDSIM_GZIP} -9 -n -c ${RDSIM_PACKAGING_DIR}/rdsim-batch.1 > ${RDSIM_MAN_PAGE}
                     DEPENDS ${RDSIM_PACKAGING_DIR}/rdsim-batch.1
                     COMMENT "Compressing the rdsim-batch man page")
  add_custom_target(rdsim_man_page ALL DEPENDS ${RDSIM_MAN_PAGE})
endif()
install(FILES ${RDSIM_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(NOT RDSIM_ENGINE_ONLY)
  install(TARGETS rdsim rdsim-atlas RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${RDSIM_PACKAGING_DIR}/${RDSIM_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${RDSIM_PACKAGING_DIR}/${RDSIM_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The theme icons are drawn at build time by the same code that draws the
  # window's icon, so the two never drift apart.
  add_executable(rdsim_make_icons packaging/make_icons.cpp)
  target_link_libraries(rdsim_make_icons PRIVATE rdsim_ui)
  set(RDSIM_ICON_SIZES 32 48 64 128)
  set(RDSIM_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/packaging/icons)
  set(RDSIM_ICON_FILES)
  foreach(size IN LISTS RDSIM_ICON_SIZES)
    list(APPEND RDSIM_ICON_FILES ${RDSIM_ICON_DIR}/${size}.png)
  endforeach()
  add_custom_command(OUTPUT ${RDSIM_ICON_FILES}
                     COMMAND rdsim_make_icons ${RDSIM_ICON_DIR} ${RDSIM_ICON_SIZES}
                     DEPENDS rdsim_make_icons
                     COMMENT "Drawing the theme icons from the window icon")
  add_custom_target(rdsim_icons ALL DEPENDS ${RDSIM_ICON_FILES})
  foreach(size IN LISTS RDSIM_ICON_SIZES)
    install(FILES ${RDSIM_ICON_DIR}/${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME rdsim.png)
  endforeach()

  # The README's screenshots, made on demand by scripts/make_screenshots.sh.
  add_executable(rdsim_screenshots EXCLUDE_FROM_ALL scripts/screenshots.cpp)
  target_link_libraries(rdsim_screenshots PRIVATE rdsim_ui)
  # The README's dispersion plot, made by scripts/dispersion_plot.sh.
  add_executable(rdsim_dispersion_plot EXCLUDE_FROM_ALL scripts/dispersion_plot.cpp)
  target_link_libraries(rdsim_dispersion_plot PRIVATE rdsim_ui)

  # The desktop entry and the metainfo must pass their validators, and the
  # installed tree must hold every file a desktop needs.
  find_program(RDSIM_DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(RDSIM_APPSTREAMCLI appstreamcli)
  if(RDSIM_DESKTOP_FILE_VALIDATE)
    add_test(NAME desktop_entry
             COMMAND ${RDSIM_DESKTOP_FILE_VALIDATE} ${RDSIM_PACKAGING_DIR}/${RDSIM_APP_ID}.desktop)
  else()
    message(WARNING "desktop-file-validate not found: the desktop entry is not validated (Debian: desktop-file-utils)")
  endif()
  if(RDSIM_APPSTREAMCLI)
    add_test(NAME metainfo
             COMMAND ${RDSIM_APPSTREAMCLI} validate --no-net --pedantic
                     ${RDSIM_PACKAGING_DIR}/${RDSIM_APP_ID}.metainfo.xml)
  else()
    message(WARNING "appstreamcli not found: the metainfo is not validated (Debian: appstream)")
  endif()
  # The Debian package builds, and its dependencies came from the library scan.
  find_program(RDSIM_DPKG_SHLIBDEPS dpkg-shlibdeps)
  find_program(RDSIM_FILE file)
  if(RDSIM_DPKG_SHLIBDEPS AND RDSIM_FILE)
    add_test(NAME deb_package
             COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_CURRENT_BINARY_DIR}
                     -DOUT=${CMAKE_CURRENT_BINARY_DIR}/package-check -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/CheckDebPackage.cmake)
  else()
    message(WARNING "dpkg-shlibdeps or file not found: the Debian package is not checked (Debian: dpkg-dev, file)")
  endif()
  add_test(NAME install_tree
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_CURRENT_BINARY_DIR}
                   -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install-check -DAPP_ID=${RDSIM_APP_ID}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/CheckInstallTree.cmake)
endif()

set(CPACK_PACKAGE_NAME rdsim)
set(CPACK_PACKAGE_VERSION ${RDSIM_VERSION})
set(CPACK_PACKAGE_VENDOR "rdsim developers")
set(CPACK_PACKAGE_CONTACT "rdsim developers <rdsim@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive activator-inhibitor reaction-diffusion simulator")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Type the model's eleven coefficients, seed the field (noise, a brush, a spiral,\n"
       "hand-drawn profiles), press Start and watch spots, stripes and waves grow on a\n"
       "line or on a square. Includes rdsim-batch, the same engine without a window.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY rdsim)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from the library scan; the faces that stand in
# for the design's fonts are recommended, since the window runs without them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Python module imports NumPy; the library scan finds only its C libraries.
if(RDSIM_PYTHON)
  # Built for one minor version of Python.
  math(EXPR rdsim_python_next "${Python3_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), python3 (<< ${Python3_VERSION_MAJOR}.${rdsim_python_next}), python3-numpy")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, fonts-liberation, fonts-urw-base35, fonts-lato")
set(CPACK_GENERATOR DEB)
include(CPack)
