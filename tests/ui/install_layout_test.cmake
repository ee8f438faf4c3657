# Installs the build into a fresh prefix whose name needs quoting and checks the tool folder.
# cmake -DBUILD_DIR=<build> -DPREFIX=<prefix> -P install_layout_test.cmake

function(install_into prefix)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                  RESULT_VARIABLE failed OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "cmake --install failed")
  endif()
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
install_into("${PREFIX}")

foreach(file IN ITEMS
    bin/QNrepair bin/qndb
    share/applications/qnrepair.desktop
    share/icons/hicolor/scalable/apps/qnrepair.svg
    share/doc/QNrepair/window.md)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "missing from the tool folder: ${file}")
  endif()
endforeach()

# The entry starts the installed program and shows the installed icon, whatever the prefix.
file(READ "${PREFIX}/share/applications/qnrepair.desktop" entry)
string(REPLACE "$" "\\\\$" quoted "${PREFIX}")
foreach(line IN ITEMS
    "Exec=\"${quoted}/bin/QNrepair\""
    "Icon=${PREFIX}/share/icons/hicolor/scalable/apps/qnrepair.svg"
    "Name[ja]=データファイルの修復")
  string(FIND "${entry}" "\n${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks: ${line}\n${entry}")
  endif()
endforeach()

# The workgroup file is the site's: installing never makes or replaces one.
if(EXISTS "${PREFIX}/bin/QNsys.mdw")
  message(FATAL_ERROR "the install made a workgroup file")
endif()
file(REMOVE_RECURSE "${PREFIX}")
