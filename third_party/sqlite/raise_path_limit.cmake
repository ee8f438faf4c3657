# Writes OUTPUT, the amalgamation INPUT with its path limits raised safely:
# - the unix file layer's limit from 512 bytes to the platform's PATH_MAX. MAX_PATHNAME is both the
#   VFS's mxPathname and the size of stack buffers (openDirectory, findCreateFileMode), so it is
#   raised where it is defined, never at run time;
# - the pager's scratch buffer at least as large as any limit (mxPathname) plus the bytes written
#   around a name. A rollback journal may end with the name of a super-journal, which the pager
#   reads into that buffer, of one page, taking up to mxPathname bytes on the journal's word: with
#   a limit above the smallest page size (512), a journal beside a file of small pages could write
#   past it. SQLite's own comment there says so; its Windows long-path layer allows 65,534 bytes.
# Fails unless each line it changes is found exactly once.
# cmake -DINPUT=sqlite3.c -DOUTPUT=... -P raise_path_limit.cmake
file(READ "${INPUT}" source)

function(replace_once what with)
  string(FIND "${source}" "${what}" first)
  string(FIND "${source}" "${what}" last REVERSE)
  if(first EQUAL -1 OR NOT first EQUAL last)
    string(STRIP "${what}" shown)
    message(FATAL_ERROR "${INPUT}: the line \"${shown}\" is not there exactly once; "
                        "check the path limits of this SQLite release before building it.")
  endif()
  string(REPLACE "${what}" "${with}" replaced "${source}")
  set(source "${replaced}" PARENT_SCOPE)
endfunction()

# <limits.h> defines PATH_MAX; the amalgamation includes it only on VxWorks.
replace_once("\n#define MAX_PATHNAME 512\n" "\n#include <limits.h>\n#define MAX_PATHNAME PATH_MAX\n")
# The name is read at the buffer's start or 4 bytes in, and ends with two zero bytes.
replace_once("pNew = (char *)sqlite3PageMalloc(pageSize+8);"
             "pNew = (char *)sqlite3PageMalloc(MAX(pageSize, (u32)pPager->pVfs->mxPathname)+8);")
file(WRITE "${OUTPUT}" "${source}")
