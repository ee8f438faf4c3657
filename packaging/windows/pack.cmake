# Packs the Windows zip: the executables, stripped, and the documents, all at its top; and beside
# it ZIP.sha256 in the form `sha256sum -c` reads.
# cmake -DZIP=<zip> -DSTRIP=<strip> -DEXECUTABLES=<exe;...> -DDOCUMENTS=<file;...> -P pack.cmake
# Run it in a UTF-8 locale: in the C locale CMake's archiver cannot read a file name such as
# お読みください.txt, and it marks names as UTF-8 in the zip (which Explorer honours) only in one.
cmake_minimum_required(VERSION 3.25)

set(stage "${ZIP}.contents")
file(REMOVE_RECURSE "${stage}" "${ZIP}" "${ZIP}.sha256")
file(MAKE_DIRECTORY "${stage}")
file(COPY ${EXECUTABLES} ${DOCUMENTS} DESTINATION "${stage}")

set(executables ${EXECUTABLES})
list(TRANSFORM executables REPLACE "^.*/" "")
set(documents ${DOCUMENTS})
list(TRANSFORM documents REPLACE "^.*/" "")

# The build keeps its debugging information; the users' copies need none.
execute_process(COMMAND "${STRIP}" ${executables} WORKING_DIRECTORY "${stage}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip -- ${executables} ${documents}
                WORKING_DIRECTORY "${stage}" COMMAND_ERROR_IS_FATAL ANY)

file(SHA256 "${ZIP}" sum)
cmake_path(GET ZIP FILENAME zip_name)
file(WRITE "${ZIP}.sha256" "${sum}  ${zip_name}\n")
file(REMOVE_RECURSE "${stage}")
