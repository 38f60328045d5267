# ctest `install_tree`: installs the build into a scratch prefix and checks
# that every file a desktop and a shell need is in place.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<dir> -DAPP_ID=<id> -P CheckInstallTree.cmake
include(GNUInstallDirs)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result})")
endif()

set(share "${PREFIX}/${CMAKE_INSTALL_DATADIR}")
set(expected
    "${PREFIX}/${CMAKE_INSTALL_BINDIR}/rdsim"
    "${PREFIX}/${CMAKE_INSTALL_BINDIR}/rdsim-batch"
    "${PREFIX}/${CMAKE_INSTALL_BINDIR}/rdsim-atlas"
    "${PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/rdsim/rdsim-field-reader"
    "${share}/applications/${APP_ID}.desktop"
    "${share}/metainfo/${APP_ID}.metainfo.xml")
foreach(file IN LISTS expected)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
# The Python module, where Debian's python3 finds it, when it was built.
if(EXISTS "${BUILD_DIR}/src/python")
  file(GLOB module "${PREFIX}/lib/python3*/dist-packages/rdsim.cpython-*.so")
  if(NOT module)
    message(FATAL_ERROR "not installed: the Python module in ${PREFIX}/lib/python3*/dist-packages")
  endif()
endif()
file(GLOB man_page "${PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/rdsim-batch.1*")
if(NOT man_page)
  message(FATAL_ERROR "not installed: the rdsim-batch man page")
endif()

# Each theme icon is a PNG of the size its folder names (width and height are
# the big-endian words at bytes 16 and 20).
foreach(size 32 64)
  set(icon "${share}/icons/hicolor/${size}x${size}/apps/rdsim.png")
  if(NOT EXISTS "${icon}")
    message(FATAL_ERROR "not installed: ${icon}")
  endif()
  file(READ "${icon}" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR w "0x${width}")
  math(EXPR h "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT w EQUAL size OR NOT h EQUAL size)
    message(FATAL_ERROR "${icon}: not a ${size} x ${size} PNG (${w} x ${h})")
  endif()
endforeach()

# The desktop entry starts the installed program by name and shows the icon.
file(READ "${share}/applications/${APP_ID}.desktop" entry)
if(NOT entry MATCHES "\nExec=rdsim\n" OR NOT entry MATCHES "\nIcon=rdsim\n")
  message(FATAL_ERROR "the desktop entry does not start rdsim with its icon")
endif()
message(STATUS "install tree complete under ${PREFIX}")
