# Runs at install time, when CMAKE_INSTALL_PREFIX is the prefix given to `cmake --install`.
# Expects QN_DESKTOP_TEMPLATE, QN_BINDIR and QN_DATADIR (relative to the prefix).

get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(program "${prefix}/${QN_BINDIR}/QNrepair")
set(icon "${prefix}/${QN_DATADIR}/icons/hicolor/scalable/apps/qnrepair.svg")
if(program MATCHES "[\n\r]")
  message(FATAL_ERROR "A desktop entry cannot name a path with a line break: ${program}")
endif()

# Exec: the program quoted, with ", `, $ and \ escaped inside the quotes and % doubled;
# then, as for every string value, each \ doubled.
string(REPLACE "\\" "\\\\" exec "${program}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "$" "\\$" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" QN_DESKTOP_EXEC "\"${exec}\"")
string(REPLACE "\\" "\\\\" QN_DESKTOP_ICON "${icon}")

set(entry "$ENV{DESTDIR}${prefix}/${QN_DATADIR}/applications/qnrepair.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${QN_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
