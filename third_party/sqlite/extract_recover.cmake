# SQLite's recovery extension is not in sqlite3.c: the autoconf tarball carries it inside shell.c,
# between marker lines. Writes its three pieces (sqlite3recover.h, dbdata.c, sqlite3recover.c)
# to DESTINATION as they are in SQLite's own tree: the shell comments out their #include of
# SQLite's headers and their typedefs of u8, u32 and i64, since it has its own; they are put back.
# Fails when a marker line is missing or repeated.
# cmake -DSHELL=shell.c -DDESTINATION=... -P extract_recover.cmake
file(READ "${SHELL}" shell)

function(find_marker_line marker result)
  string(FIND "${shell}" "${marker}" first)
  string(FIND "${shell}" "${marker}" last REVERSE)
  if(first EQUAL -1 OR NOT first EQUAL last)
    string(STRIP "${marker}" marker)
    message(FATAL_ERROR "${SHELL}: the marker line \"${marker}\" is not there exactly once; "
                        "the recovery extension cannot be taken from this shell.c.")
  endif()
  set(${result} ${first} PARENT_SCOPE)
endfunction()

foreach(piece sqlite3recover.h dbdata.c sqlite3recover.c)
  set(begin "\n/************************* Begin ext/recover/${piece} ******************/\n")
  set(end "\n/************************* End ext/recover/${piece} ********************/\n")
  find_marker_line("${begin}" from)
  find_marker_line("${end}" to)
  string(LENGTH "${begin}" length)
  math(EXPR from "${from} + ${length}")
  math(EXPR length "${to} + 1 - ${from}")
  if(length LESS 1)
    message(FATAL_ERROR "${SHELL}: the end of ${piece} comes before its beginning.")
  endif()
  string(SUBSTRING "${shell}" ${from} ${length} text)
  string(REGEX REPLACE "\n/\\* (#include \"[a-z0-9]+\\.h\"|typedef [a-z0-9_ ]+;) \\*/" "\n\\1" text "\n${text}")
  string(SUBSTRING "${text}" 1 -1 text)
  file(WRITE "${DESTINATION}/${piece}" "${text}")
endforeach()
