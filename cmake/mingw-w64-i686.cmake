# 32-bit Windows cross build with mingw-w64: the release build. Win32 threads:
# the posix-model runtime drags in winpthreads, which imports GetTickCount64
# and so keeps the program from starting before Vista.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(NEXORA_MINGW_PREFIX i686-w64-mingw32)
set(NEXORA_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
