# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compiler, POSIX-threads variant (its
# C++ library has std::thread and friends). Executables link the C++ runtime, libgcc and
# winpthread statically, so they need only the DLLs every Windows (and Wine) has.
# Used by `./run windows-test` (preset "windows"); tests and test discovery run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QELTO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QELTO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QELTO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QELTO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QELTO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Wine keeps its Windows installation (a "prefix") in the build tree rather than in ~/.wine,
# says nothing of its own, and neither offers to download Mono or Gecko.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= wine)
