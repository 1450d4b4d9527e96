# Test programs of the Windows build run through Wine, with a prefix private to
# this build folder so runs never disturb each other or the user's own prefix.
set(TARVEX_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(TARVEX_WINE_RUN "${PROJECT_SOURCE_DIR}/scripts/wine-run")
set(CMAKE_CROSSCOMPILING_EMULATOR "${TARVEX_WINE_RUN};${TARVEX_WINEPREFIX}")

# One Wine server for the whole test run, started before the first test and
# stopped after the last: every Windows test requires this fixture.
set(TARVEX_TEST_FIXTURES wine_server)
if(TARVEX_TESTS)
  add_test(NAME wine_server_start COMMAND ${TARVEX_WINE_RUN} ${TARVEX_WINEPREFIX} --start-server)
  add_test(NAME wine_server_stop COMMAND ${TARVEX_WINE_RUN} ${TARVEX_WINEPREFIX} --stop-server)
  set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP wine_server)
  set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine_server)
endif()

# Tests that open windows need an X server; ctest starts them under xvfb-run.
function(tarvex_needs_display)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT "TARVEX_WINE_XVFB=1")
endfunction()
