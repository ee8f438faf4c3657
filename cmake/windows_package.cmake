# BUILD_DIR/QNrepair-<version>-win64.zip and its checksum (.sha256), for the host's vendor to
# unpack into the tool's folder beside QNsys.mdw: the executables at its top, where the tool looks
# for its files; the Japanese read-me for their users (packaging/windows/); and the notices of
# the third-party code inside the executables, which the build gathers from the link maps and
# the components' own sources (packaging/windows/write_notices.cmake). Nothing for maintainers.
set(QN_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/QNrepair-${PROJECT_VERSION}-win64.zip)
set(QN_WINDOWS_README ${PROJECT_SOURCE_DIR}/packaging/windows/お読みください.txt)
set(notices ${CMAKE_BINARY_DIR}/package/THIRD-PARTY-NOTICES.txt)

# What the linker took, and from where: the notices must cover all of it.
set(packed_executables QNrepair qndb)
set(maps "")
set(link_dirs "")
foreach(target IN LISTS packed_executables)
  set(map ${CMAKE_BINARY_DIR}/${target}.map)
  target_link_options(${target} PRIVATE "LINKER:-Map=${map}")
  list(APPEND maps ${map})
  # The map names the linker's inputs relative to the folder it ran in.
  list(APPEND link_dirs $<TARGET_PROPERTY:${target},BINARY_DIR>)
endforeach()
set(QN_WINDOWS_LINK_MAPS ${maps})

add_custom_command(
  OUTPUT ${notices}
  COMMAND ${CMAKE_COMMAND}
          -DOUTPUT=${notices} -DPROJECT_VERSION=${PROJECT_VERSION} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DWORK_DIR=${CMAKE_BINARY_DIR}/package/licence-sources
          "-DEXECUTABLES=$<TARGET_FILE_NAME:QNrepair>;$<TARGET_FILE_NAME:qndb>" "-DMAPS=${maps}" "-DLINK_DIRS=${link_dirs}"
          -DSODIUM_LIBRARY=${SODIUM_LIBRARY_DIRS}/libsodium.a -DSQLITE_LIBRARY=$<TARGET_FILE:sqlite3_static>
          -DSQLITE_HEADER=${QN_SQLITE_HEADER}
          -P ${PROJECT_SOURCE_DIR}/packaging/windows/write_notices.cmake
  DEPENDS QNrepair qndb ${PROJECT_SOURCE_DIR}/packaging/windows/write_notices.cmake
          ${PROJECT_SOURCE_DIR}/third_party/libsodium/pinned.env ${PROJECT_SOURCE_DIR}/third_party/mingw-w64/pinned.env
  COMMENT "Gathering the third-party notices of the Windows executables"
  VERBATIM)

add_custom_command(
  OUTPUT ${QN_WINDOWS_ZIP} ${QN_WINDOWS_ZIP}.sha256
  # In a UTF-8 locale whatever the build's: see pack.cmake.
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
          ${CMAKE_COMMAND} -DZIP=${QN_WINDOWS_ZIP} -DSTRIP=${CMAKE_STRIP}
          "-DEXECUTABLES=$<TARGET_FILE:QNrepair>;$<TARGET_FILE:qndb>" "-DDOCUMENTS=${QN_WINDOWS_README};${notices}"
          -P ${PROJECT_SOURCE_DIR}/packaging/windows/pack.cmake
  DEPENDS QNrepair qndb ${QN_WINDOWS_README} ${notices} ${PROJECT_SOURCE_DIR}/packaging/windows/pack.cmake
  COMMENT "Packing ${QN_WINDOWS_ZIP}"
  VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${QN_WINDOWS_ZIP} ${QN_WINDOWS_ZIP}.sha256)
