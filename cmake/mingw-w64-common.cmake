set(CMAKE_C_COMPILER ${NEXORA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NEXORA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${NEXORA_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${NEXORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Link the C and C++ runtimes statically so that the programs need no mingw
# DLLs beside them, on Windows or under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
