# 32-bit Windows cross build with mingw-w64, posix threads: the release's code
# with its test programs, which run under Wine. GoogleTest needs std::mutex,
# which the Win32-thread runtime of the release does not have; only these
# test builds link winpthreads, never a program that ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(NEXORA_MINGW_PREFIX i686-w64-mingw32)
set(NEXORA_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
