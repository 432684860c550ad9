# Cross build for 64-bit Windows with Debian's MinGW-w64 (POSIX thread model,
# so the C++ standard thread types exist). Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# libpng built from Debian's sources by tools/build-libpng-mingw.sh lands here.
set(THRUMWELL_MINGW_PREFIX "/opt/thrumwell-mingw64" CACHE PATH "Cross-built third-party libraries")
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${THRUMWELL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
