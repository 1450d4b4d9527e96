# GoogleTest is built from Debian's sources with each toolchain and sanitizer
# setting, so the test framework always matches the code under test.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources missing: run scripts/setup")
endif()
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# One test executable per folder of tests; every test case becomes a ctest test.
# Discovery happens when ctest runs, so cross builds need no Wine at build time.
# DISPLAY gives every test case of the program an X server under Wine (programs
# that open windows need one).
function(tarvex_add_test name)
  cmake_parse_arguments(ARG "DISPLAY" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  tarvex_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  if(WIN32)
    target_link_options(${name} PRIVATE -static)
  endif()
  set(properties)
  if(ARG_DISPLAY)
    list(APPEND properties ENVIRONMENT TARVEX_WINE_XVFB=1)
  endif()
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  if(ARG_DISPLAY)
    list(APPEND properties ENVIRONMENT TARVEX_WINE_XVFB=1)
  endif()
  if(TARVEX_TEST_FIXTURES)
    list(APPEND properties FIXTURES_REQUIRED "${TARVEX_TEST_FIXTURES}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES ${properties})
endfunction()
