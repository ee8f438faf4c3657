# Unpacks sqlite3.c, sqlite3.h and shell.c of the pinned tarball into DESTINATION, after checking
# that the tarball is still the one whose SHA-256 is pinned.
# cmake -DTARBALL=... -DSHA256=... -DTOP=<folder inside the tarball> -DDESTINATION=... -P unpack.cmake
file(SHA256 "${TARBALL}" actual)
if(NOT actual STREQUAL SHA256)
  message(FATAL_ERROR "${TARBALL} has SHA-256 ${actual}, not the pinned ${SHA256}: refusing it.")
endif()
file(ARCHIVE_EXTRACT INPUT "${TARBALL}" DESTINATION "${DESTINATION}"
     PATTERNS "${TOP}/sqlite3.c" "${TOP}/sqlite3.h" "${TOP}/shell.c"
     TOUCH)
foreach(name sqlite3.c sqlite3.h shell.c)
  if(NOT EXISTS "${DESTINATION}/${TOP}/${name}")
    message(FATAL_ERROR "${TARBALL} holds no ${TOP}/${name}")
  endif()
endforeach()
