# 64-bit Windows cross build with mingw-w64 (posix threads): a build check
# that the code also compiles and links as 64-bit. Nothing of it runs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NEXORA_MINGW_PREFIX x86_64-w64-mingw32)
set(NEXORA_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
