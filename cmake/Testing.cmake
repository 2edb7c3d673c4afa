# GoogleTest and the helper that registers a test executable with CTest.
#
# Native builds use Debian's prebuilt GoogleTest; the Windows builds compile
# it from Debian's sources with the cross compiler. Windows tests run under
# Wine through CMAKE_CROSSCOMPILING_EMULATOR (the windows-x86-tests build).
# The release build (windows-x86) has the Win32-thread C++ runtime, which
# has no std::mutex for GoogleTest: it builds the programs and the
# end-to-end helpers only.
enable_testing()
include(GoogleTest)

if(WIN32 AND NEXORA_MINGW_THREADS STREQUAL "win32")
  set(NEXORA_BUILD_TESTS OFF)
  return()
endif()
set(NEXORA_BUILD_TESTS ON)

if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

# nexora_add_gtest(<target> [LABELS l1 l2 ...])
function(nexora_add_gtest target)
  cmake_parse_arguments(ARG "" "" "LABELS" ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  if(WIN32)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES LABELS "wine;${ARG_LABELS}" TIMEOUT 600)
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
      PROPERTIES LABELS "unit;${ARG_LABELS}" TIMEOUT 120)
  endif()
endfunction()
