# Test programs of the Windows build run through Wine, with a prefix private to
# this build folder so runs never disturb each other or the user's own prefix.
set(TARVEX_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/scripts/wine-run;${TARVEX_WINEPREFIX}")

# Tests that open windows need an X server; ctest starts them under xvfb-run.
function(tarvex_needs_display)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT "TARVEX_WINE_XVFB=1")
endfunction()
