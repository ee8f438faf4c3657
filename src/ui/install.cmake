# The window's part of the installed tool folder (the rest is in the top-level CMakeLists.txt):
#   share/applications/       qnrepair.desktop
#   share/icons/hicolor/      the icon (scalable and 64x64)
include(GNUInstallDirs)

install(FILES resources/qnrepair.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES resources/qnrepair.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)

# The desktop entry names absolute paths, so it is written when the prefix is known: at install time.
install(CODE "
  set(QN_DESKTOP_TEMPLATE [[${CMAKE_CURRENT_SOURCE_DIR}/resources/qnrepair.desktop.in]])
  set(QN_BINDIR [[${CMAKE_INSTALL_BINDIR}]])
  set(QN_DATADIR [[${CMAKE_INSTALL_DATADIR}]])
")
install(SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/write_desktop_entry.cmake)
