# Installs the build into a fresh prefix and checks that a desktop finds the program, its entry and its
# icon there. Run with -DBUILD_DIR=<build> -DPREFIX=<dir> -DICON=<the window's icon>.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()

foreach(wanted bin/quorvex bin/quorvex-deck share/applications/quorvex.desktop
               share/icons/hicolor/32x32/apps/quorvex.png)
  if(NOT EXISTS "${PREFIX}/${wanted}")
    message(FATAL_ERROR "not installed: ${wanted}")
  endif()
endforeach()
execute_process(COMMAND test -x "${PREFIX}/bin/quorvex" RESULT_VARIABLE executable)
if(NOT executable EQUAL 0)
  message(FATAL_ERROR "bin/quorvex is not executable")
endif()

file(SHA256 "${PREFIX}/share/icons/hicolor/32x32/apps/quorvex.png" installedIcon)
file(SHA256 "${ICON}" windowIcon)
if(NOT installedIcon STREQUAL windowIcon)
  message(FATAL_ERROR "the installed icon is not the window's icon")
endif()

file(STRINGS "${PREFIX}/share/applications/quorvex.desktop" entry)
foreach(line "Exec=quorvex" "Icon=quorvex" "Type=Application")
  list(FIND entry "${line}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "quorvex.desktop lacks ${line}")
  endif()
endforeach()

find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND "${VALIDATE}" "${PREFIX}/share/applications/quorvex.desktop"
                  RESULT_VARIABLE valid OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(NOT valid EQUAL 0 OR NOT said STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${said}")
  endif()
endif()
