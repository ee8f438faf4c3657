# Writes THIRD-PARTY-NOTICES.txt of the Windows zip: every component that the linker put into the
# executables, with its version, the files of it that were linked, and its licence text as its own
# source gives it. What was linked is read from the executables' link maps, so that a library added
# to the link without a notice stops the build here.
#
# cmake -DOUTPUT=<file> -DPROJECT_VERSION=<version> -DSOURCE_DIR=<source tree> -DWORK_DIR=<folder>
#       -DEXECUTABLES=<name;...> -DMAPS=<link map;...> -DLINK_DIRS=<folder the linker ran in;...>
#       -DSODIUM_LIBRARY=<libsodium.a> -DSQLITE_LIBRARY=<its archive> -DSQLITE_HEADER=<sqlite3.h>
#       -P write_notices.cmake
#
# Where each text comes from:
# - libsodium: LICENSE of the upstream tarball and debian/copyright of Debian's source package
#   that the library was built from (third_party/libsodium/pinned.env);
# - SQLite: the blessing that heads sqlite3.h of the pinned tarball the library was compiled from;
# - the MinGW-w64 runtime and winpthreads: COPYING.MinGW-w64-runtime.txt and winpthreads' COPYING
#   of Debian's mingw-w64 source package (third_party/mingw-w64/pinned.env), which must be the
#   source of the installed packages that hold the linked files;
# - GCC's runtime: the GCC part of the copyright file that Debian installs with the compiler that
#   holds the linked files (the whole GCC source is 80 MB; its runtime licence is quoted there).
cmake_minimum_required(VERSION 3.25)

string(ASCII 239 187 191 kByteOrderMark)
set(kRule "--------------------------------------------------------------------------------")

# pinned(FILE PREFIX): the PREFIX_* variables of a pinned.env.
function(pinned file prefix)
  file(STRINGS "${file}" lines REGEX "^${prefix}_[A-Z0-9_]+=")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^([^=]+)=(.*)$" line "${line}")
    set(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}" PARENT_SCOPE)
  endforeach()
endfunction()

# checked(FILE SHA256): stops unless FILE is there with that SHA-256.
function(checked file sha256)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} is missing: scripts/build-windows fetches it.")
  endif()
  file(SHA256 "${file}" actual)
  if(NOT actual STREQUAL sha256)
    message(FATAL_ERROR "${file} has SHA-256 ${actual}, not the pinned ${sha256}: refusing it.")
  endif()
endfunction()

# unpack(TARBALL MEMBER...): the files of a tarball, unpacked into WORK_DIR once (a bzip2 stream
# takes seconds to read through).
function(unpack tarball)
  set(missing "")
  foreach(member IN LISTS ARGN)
    if(NOT EXISTS "${WORK_DIR}/${member}" OR "${tarball}" IS_NEWER_THAN "${WORK_DIR}/${member}")
      list(APPEND missing "${member}")
    endif()
  endforeach()
  if(missing)
    file(ARCHIVE_EXTRACT INPUT "${tarball}" DESTINATION "${WORK_DIR}" PATTERNS ${missing} TOUCH)
  endif()
  foreach(member IN LISTS ARGN)
    if(NOT EXISTS "${WORK_DIR}/${member}")
      message(FATAL_ERROR "${tarball} holds no ${member}")
    endif()
  endforeach()
endfunction()

# between(VAR TEXT FIRST LAST SOURCE): TEXT from the line that starts with FIRST to the end of
# LAST; stops when either is missing from SOURCE, so that a changed source is never half quoted.
function(between var text first last source)
  string(FIND "${text}" "\n${first}" from)
  if(from EQUAL -1)
    message(FATAL_ERROR "${source} no longer holds \"${first}\"")
  endif()
  math(EXPR from "${from} + 1")
  string(SUBSTRING "${text}" ${from} -1 rest)
  string(FIND "${rest}" "${last}" to)
  if(to EQUAL -1)
    message(FATAL_ERROR "${source} no longer holds \"${last}\" after \"${first}\"")
  endif()
  string(LENGTH "${last}" length)
  math(EXPR to "${to} + ${length}")
  string(SUBSTRING "${rest}" 0 ${to} part)
  set(${var} "${part}" PARENT_SCOPE)
endfunction()

# --- What the linker put into each executable -------------------------------------------------
set(linked "")
foreach(map dir IN ZIP_LISTS MAPS LINK_DIRS)
  file(STRINGS "${map}" loads REGEX "^LOAD ")
  if(NOT loads)
    message(FATAL_ERROR "${map} is no link map: it names no file loaded.")
  endif()
  foreach(load IN LISTS loads)
    string(REGEX REPLACE "^LOAD " "" path "${load}")
    # The linker's own entries ("dll stuff", "linker stubs") are no files.
    if(NOT path MATCHES "\\.(a|o|obj)$")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH path BASE_DIRECTORY "${dir}" NORMALIZE)
    list(APPEND linked "${path}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES linked)

# --- Which component each linked file belongs to ----------------------------------------------
set(components "")
set(system_files "")
foreach(path IN LISTS linked)
  cmake_path(GET path FILENAME file)
  if(path STREQUAL SODIUM_LIBRARY)
    list(APPEND components sodium)
    list(APPEND sodium_files "${file}")
  elseif(path STREQUAL SQLITE_LIBRARY)
    list(APPEND components sqlite)
    list(APPEND sqlite_files "${file}")
  elseif(file MATCHES "^(objects\\.a|libqn_.*\\.a)$")
    # QNrepair's own code: its objects and its libraries.
  else()
    list(APPEND system_files "${path}")
  endif()
endforeach()

# The rest must come from Debian's packages of the cross compiler and the MinGW-w64 runtime.
if(system_files)
  # A file that no package holds fails below, by its name.
  execute_process(COMMAND dpkg-query --search ${system_files} OUTPUT_VARIABLE owners ERROR_QUIET)
  string(REPLACE "\n" ";" owners "${owners}")
endif()
foreach(path IN LISTS system_files)
  cmake_path(GET path FILENAME file)
  set(package "")
  foreach(owner IN LISTS owners)
    if(owner MATCHES "^([^:, ]+): (.*)$" AND CMAKE_MATCH_2 STREQUAL path)
      set(package "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  if(package STREQUAL "")
    message(FATAL_ERROR "${path} is linked into the Windows executables, but no notice covers it: "
                        "give it one in packaging/windows/write_notices.cmake.")
  endif()
  execute_process(COMMAND dpkg-query --show "--showformat=\${source:Package}\t\${Version}\t\${source:Version}" ${package}
                  OUTPUT_VARIABLE fields COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\t" ";" fields "${fields}")
  list(GET fields 0 source_package)
  list(GET fields 1 version)
  list(GET fields 2 source_version)
  if(source_package STREQUAL "mingw-w64" AND file MATCHES "^lib(win)?pthread\\.a$")
    set(component winpthreads)
  elseif(source_package STREQUAL "mingw-w64")
    set(component mingw)
  elseif(source_package STREQUAL "gcc-mingw-w64")
    set(component gcc)
  else()
    message(FATAL_ERROR "${path} (Debian package ${package}) is linked into the Windows executables, but no "
                        "notice covers it: give it one in packaging/windows/write_notices.cmake.")
  endif()
  list(APPEND components ${component})
  list(APPEND ${component}_files "${file}")
  list(APPEND ${component}_packages "${package}")
  set(${component}_version "${version}")
  set(${component}_source_version "${source_version}")
endforeach()
list(REMOVE_DUPLICATES components)

# --- Each component's notice --------------------------------------------------------------------
# notice(COMPONENT TITLE ORIGIN TEXT): appends one section.
set(sections "")
function(notice component title origin text)
  list(SORT ${component}_files)
  list(REMOVE_DUPLICATES ${component}_files)
  list(JOIN ${component}_files " " files)
  string(REGEX REPLACE "\n+$" "" text "${text}")
  set(sections "${sections}\n\n${kRule}\n${title}\nLinked: ${files}\nLicence text: ${origin}\n${kRule}\n\n${text}\n"
      PARENT_SCOPE)
endfunction()

if(sodium IN_LIST components)
  pinned("${SOURCE_DIR}/third_party/libsodium/pinned.env" LIBSODIUM)
  # The library must be the one built from the pinned source (third_party/libsodium/build).
  cmake_path(GET SODIUM_LIBRARY PARENT_PATH lib)
  file(READ "${lib}/../built-from" built_from)
  string(FIND "${built_from}" "${LIBSODIUM_DEBIAN_VERSION} " at)
  if(NOT at EQUAL 0)
    message(FATAL_ERROR "${SODIUM_LIBRARY} was not built from libsodium ${LIBSODIUM_DEBIAN_VERSION}: run scripts/build-windows.")
  endif()
  set(downloads "${SOURCE_DIR}/third_party/downloads")
  checked("${downloads}/${LIBSODIUM_ORIG}" ${LIBSODIUM_ORIG_SHA256})
  checked("${downloads}/${LIBSODIUM_DEBIAN}" ${LIBSODIUM_DEBIAN_SHA256})
  string(REGEX REPLACE "-[^-]*$" "" upstream "${LIBSODIUM_DEBIAN_VERSION}")
  unpack("${downloads}/${LIBSODIUM_ORIG}" "libsodium-${upstream}/LICENSE")
  unpack("${downloads}/${LIBSODIUM_DEBIAN}" "debian/copyright")
  file(READ "${WORK_DIR}/libsodium-${upstream}/LICENSE" licence)
  file(READ "${WORK_DIR}/debian/copyright" copyright)
  notice(sodium "libsodium ${upstream} (Debian source package libsodium ${LIBSODIUM_DEBIAN_VERSION})"
         "libsodium-${upstream}/LICENSE, then Debian's debian/copyright, which gives the licences of the files that carry their own"
         "${licence}\n\n${copyright}")
endif()

if(sqlite IN_LIST components)
  file(READ "${SQLITE_HEADER}" header)
  if(NOT header MATCHES "#define SQLITE_VERSION +\"([0-9.]+)\"")
    message(FATAL_ERROR "${SQLITE_HEADER} names no SQLITE_VERSION")
  endif()
  set(version "${CMAKE_MATCH_1}")
  between(blessing "${header}" "** The author disclaims copyright" "never taking more than you give." "${SQLITE_HEADER}")
  string(REGEX REPLACE "(^|\n)\\*\\* ?" "\\1" blessing "${blessing}")
  notice(sqlite "SQLite ${version} (public domain)" "sqlite3.h of SQLite's own release tarball" "${blessing}")
endif()

if(mingw IN_LIST components OR winpthreads IN_LIST components)
  pinned("${SOURCE_DIR}/third_party/mingw-w64/pinned.env" MINGW_W64)
  foreach(component mingw winpthreads)
    if(DEFINED ${component}_source_version AND NOT ${component}_source_version STREQUAL MINGW_W64_DEBIAN_VERSION)
      list(JOIN ${component}_packages ", " packages)
      message(FATAL_ERROR "The linked ${${component}_files} come from mingw-w64 ${${component}_source_version} (${packages}), but the "
                          "notices quote mingw-w64 ${MINGW_W64_DEBIAN_VERSION}: pin that version in third_party/mingw-w64/pinned.env.")
    endif()
  endforeach()
  set(tarball "${SOURCE_DIR}/third_party/downloads/${MINGW_W64_ORIG}")
  checked("${tarball}" ${MINGW_W64_ORIG_SHA256})
  string(REGEX REPLACE "-[^-]*$" "" upstream "${MINGW_W64_DEBIAN_VERSION}")
  set(top "mingw-w64-v${upstream}")
  set(runtime_licence "COPYING.MinGW-w64-runtime/COPYING.MinGW-w64-runtime.txt")
  set(winpthreads_licence "mingw-w64-libraries/winpthreads/COPYING")
  unpack("${tarball}" "${top}/${runtime_licence}" "${top}/${winpthreads_licence}")
  if(mingw IN_LIST components)
    file(READ "${WORK_DIR}/${top}/${runtime_licence}" licence)
    notice(mingw "MinGW-w64 runtime ${upstream} (Debian source package mingw-w64 ${MINGW_W64_DEBIAN_VERSION})"
           "${runtime_licence} of the source; the import libraries (lib<name>.a) lead to Windows' own DLLs" "${licence}")
  endif()
  if(winpthreads IN_LIST components)
    file(READ "${WORK_DIR}/${top}/${winpthreads_licence}" licence)
    notice(winpthreads "winpthreads ${upstream} (Debian source package mingw-w64 ${MINGW_W64_DEBIAN_VERSION})"
           "${winpthreads_licence} of the source" "${licence}")
  endif()
endif()

if(gcc IN_LIST components)
  list(GET gcc_packages 0 package)
  set(copyright "/usr/share/doc/${package}/copyright")
  file(READ "${copyright}" text)
  string(REGEX REPLACE "-.*$" "" upstream "${gcc_version}")
  between(terms "${text}" "GCC is Copyright" "Runtime Library Exception (included in this file):" "${copyright}")
  between(runtime "${text}" " - libgcc (" " - libstdc++-v3" "${copyright}")
  between(exception "${text}" "GCC RUNTIME LIBRARY EXCEPTION" "requirements of the license of GCC." "${copyright}")
  list(REMOVE_DUPLICATES gcc_packages)
  list(JOIN gcc_packages ", " packages)
  notice(gcc "GCC ${upstream} runtime: libgcc and libstdc++ (Debian packages ${packages} ${gcc_version})"
         "${copyright}, its parts on GCC's runtime libraries; the GPL version 3 is at https://www.gnu.org/licenses/gpl-3.0.html"
         "${terms}\n\n${runtime}\n\n${exception}")
endif()

# --- The file, for Notepad: UTF-8 with a byte-order mark, CR LF ------------------------------
list(JOIN EXECUTABLES " と " names_ja)
list(JOIN EXECUTABLES " and " names)
set(text "Third-party software in QNrepair ${PROJECT_VERSION} for Windows x64

このファイルは、${names_ja} に組み込まれている他のソフトウェアの
著作権表示とライセンスです。ライセンスの文面は原文（英語）のままです。

${names} are linked statically.
Besides QNrepair's own code they hold the components below. Each section names the component and
its version, the files of it that the linker took (from the link maps), and where its licence
text was taken from.${sections}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${kByteOrderMark}${text}")
