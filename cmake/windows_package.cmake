# BUILD_DIR/QNrepair-<version>-win64.zip, for the host's vendor to unpack into the tool's folder
# beside QNsys.mdw: the executables at its top, where the tool looks for its files, then the
# README and docs/ as in the source tree, so that the README's links hold.
set(QN_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/QNrepair-${PROJECT_VERSION}-win64.zip)
set(stage ${CMAKE_BINARY_DIR}/package/QNrepair-${PROJECT_VERSION}-win64)
file(GLOB docs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md)
set(packed_docs "")
foreach(doc IN LISTS docs)
  cmake_path(GET doc FILENAME name)
  list(APPEND packed_docs docs/${name})
endforeach()

add_custom_command(
  OUTPUT ${QN_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${QN_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/docs
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:QNrepair> $<TARGET_FILE:qndb> ${PROJECT_SOURCE_DIR}/README.md ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy ${docs} ${stage}/docs
  # The build keeps its debugging information; the users' copies need none.
  COMMAND ${CMAKE_STRIP} ${stage}/$<TARGET_FILE_NAME:QNrepair> ${stage}/$<TARGET_FILE_NAME:qndb>
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
          ${CMAKE_COMMAND} -E tar cf ${QN_WINDOWS_ZIP} --format=zip
          $<TARGET_FILE_NAME:QNrepair> $<TARGET_FILE_NAME:qndb> README.md ${packed_docs}
  DEPENDS QNrepair qndb ${PROJECT_SOURCE_DIR}/README.md ${docs}
  COMMENT "Packing ${QN_WINDOWS_ZIP}"
  VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${QN_WINDOWS_ZIP})
