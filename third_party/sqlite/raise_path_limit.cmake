# Writes OUTPUT, the amalgamation INPUT with the unix file layer's path limit raised from 512
# bytes to the platform's PATH_MAX. MAX_PATHNAME is both the VFS's mxPathname and the size of
# stack buffers (openDirectory, findCreateFileMode), so it is raised where it is defined, never
# at run time. Fails unless that definition is found exactly once.
# cmake -DINPUT=sqlite3.c -DOUTPUT=... -P raise_path_limit.cmake
set(limit "\n#define MAX_PATHNAME 512\n")
# <limits.h> defines PATH_MAX; the amalgamation includes it only on VxWorks.
set(raised "\n#include <limits.h>\n#define MAX_PATHNAME PATH_MAX\n")

file(READ "${INPUT}" source)
string(FIND "${source}" "${limit}" first)
string(FIND "${source}" "${limit}" last REVERSE)
if(first EQUAL -1 OR NOT first EQUAL last)
  message(FATAL_ERROR "${INPUT}: the line \"#define MAX_PATHNAME 512\" is not there exactly once; "
                      "check the path limit of this SQLite release before building it.")
endif()
string(REPLACE "${limit}" "${raised}" source "${source}")
file(WRITE "${OUTPUT}" "${source}")
