# Cross build of the Windows x64 library and its tests on Linux with MinGW-w64 (the
# posix-thread variant, which std::thread needs). Tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KRV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KRV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KRV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KRV_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${KRV_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${KRV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest runs the Windows test programs through Wine, by a script that tells a program Wine
# never started from a test that failed; scripts/test-windows.sh prepares the prefix, the X
# server and the Wine server they share.
get_filename_component(KRV_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KRV_WINE_RUN})
