# ctest `deb_package`: builds the Debian package into a scratch folder and
# checks that its dependencies name the Qt libraries the scan must find, and
# that it carries the desktop files.
#   cmake -DBUILD_DIR=<build> -DOUT=<dir> -P CheckDebPackage.cmake
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND cpack -G DEB -B "${OUT}" --config "${BUILD_DIR}/CPackConfig.cmake"
                WORKING_DIRECTORY "${BUILD_DIR}" RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed (${result}):\n${log}")
endif()
file(GLOB deb "${OUT}/rdsim_*.deb")
if(NOT deb)
  message(FATAL_ERROR "no rdsim_*.deb in ${OUT}:\n${log}")
endif()
execute_process(COMMAND dpkg-deb -f "${deb}" Depends OUTPUT_VARIABLE depends RESULT_VARIABLE result)
foreach(library libqt6widgets6 libqt6gui6 libqt6core6 libstdc\\+\\+6 libc6)
  if(NOT depends MATCHES "${library}")
    message(FATAL_ERROR "the package's Depends lacks ${library}: ${depends}")
  endif()
endforeach()
execute_process(COMMAND dpkg-deb -c "${deb}" OUTPUT_VARIABLE contents)
foreach(path usr/bin/rdsim usr/bin/rdsim-batch usr/bin/rdsim-atlas usr/libexec/rdsim/rdsim-field-reader usr/share/applications/ usr/share/metainfo/
             usr/share/icons/hicolor/64x64/apps/rdsim.png usr/share/man/man1/rdsim-batch.1)
  string(FIND "${contents}" "./${path}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${path}")
  endif()
endforeach()
message(STATUS "${deb}: Depends: ${depends}")
