# Windows resources for the executables: version information (the project's version), the icon
# and the application manifest, from src/resources/windows/. Included by the top level on Windows.
#   qn_windows_resources(<target> DESCRIPTION <text>)
# links them into <target>; <text> is its FileDescription, which Explorer and Task Manager show.
enable_language(RC)

set(QN_WINDOWS_RESOURCES ${PROJECT_SOURCE_DIR}/src/resources/windows)

function(qn_windows_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION" "")
  if(NOT arg_DESCRIPTION)
    message(FATAL_ERROR "qn_windows_resources(${target}): DESCRIPTION is missing")
  endif()
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  # A version resource holds four 16-bit numbers; parts the project does not give are 0.
  foreach(part MAJOR MINOR PATCH TWEAK)
    math(EXPR number "0${PROJECT_VERSION_${part}}")
    list(APPEND numbers ${number})
  endforeach()
  list(JOIN numbers "," QN_RC_VERSION_COMMAS)
  list(JOIN numbers "." QN_RC_VERSION_DOTS)
  set(QN_RC_VERSION ${PROJECT_VERSION})
  set(QN_RC_NAME ${name})
  set(QN_RC_DESCRIPTION ${arg_DESCRIPTION})
  set(QN_RC_ICON ${QN_WINDOWS_RESOURCES}/qnrepair.ico)
  set(generated ${CMAKE_BINARY_DIR}/resources/${target})
  set(QN_RC_MANIFEST ${generated}/${name}.manifest)
  configure_file(${QN_WINDOWS_RESOURCES}/qnrepair.manifest.in ${QN_RC_MANIFEST} @ONLY)
  configure_file(${QN_WINDOWS_RESOURCES}/qnrepair.rc.in ${generated}/${name}.rc @ONLY)
  target_sources(${target} PRIVATE ${generated}/${name}.rc)
  # windres does not see what the .rc names: rebuild it when they change.
  set_source_files_properties(${generated}/${name}.rc PROPERTIES
    OBJECT_DEPENDS "${QN_RC_ICON};${QN_RC_MANIFEST}")
endfunction()
