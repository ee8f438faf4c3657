# Cross-builds for Windows x64 with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix) and runs the
# programs it builds (tests, test discovery) under Wine. scripts/build-windows uses it:
#   cmake -S . -B build-windows --toolchain cmake/toolchain-mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The POSIX thread model, named explicitly rather than through the alternatives: GCC 12's win32
# model has no std::thread, std::mutex or std::future, which the engine uses.
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Libraries and headers of the target only, never the build machine's; programs of the build
# machine (pkg-config, the shell, wine) as they are.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static, the C and C++ runtimes and winpthread too: the executables then import only
# DLLs that every Windows has, and run from the tool's folder with nothing beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Target programs run under Wine, in the build folder's own prefix (scripts/wine-session), so
# that CTest works and the build itself never needs Wine: tests are listed when CTest runs them.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-session ${CMAKE_BINARY_DIR} exec)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
