# GoogleTest and the helper that registers a test executable with CTest.
#
# Native builds use Debian's prebuilt GoogleTest; the Windows builds compile
# it from Debian's sources with the cross compiler. Windows tests run under
# wine64 through CMAKE_CROSSCOMPILING_EMULATOR. The 32-bit build is the
# release only: its Win32-thread C++ runtime has no std::mutex, which
# GoogleTest needs, and it could not run here anyway (no wine32).
enable_testing()
include(GoogleTest)

if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
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
