# Bundle layout of VST3 modules and validator runs against them.

# Makes a shared-library target a VST3 bundle in the build folder, the layout
# hosts and the validator expect:
#   <NAME>.vst3/Contents/x86_64-win/<NAME>.vst3   (Windows DLL)
#   <NAME>.vst3/Contents/x86_64-linux/<NAME>.so   (Linux shared object)
# NAME defaults to the target name. The bundle folder is kept in the target
# property TARVEX_VST3_BUNDLE. The module's own code is compiled with hidden
# symbols, like the SDK libraries, so that what leaves the module is what is
# marked for export (the SDK's SMTG_EXPORT_SYMBOL entry points).
function(tarvex_vst3_bundle target)
  cmake_parse_arguments(ARG "" "NAME" "" ${ARGN})
  if(NOT ARG_NAME)
    set(ARG_NAME ${target})
  endif()
  get_target_property(type ${target} TYPE)
  if(NOT type MATCHES "^(MODULE|SHARED)_LIBRARY$")
    message(FATAL_ERROR "tarvex_vst3_bundle: ${target} is not a shared library")
  endif()
  set(bundle "${CMAKE_BINARY_DIR}/${ARG_NAME}.vst3")
  if(WIN32)
    set(binary_dir "${bundle}/Contents/x86_64-win")
    set(suffix .vst3)
  else()
    set(binary_dir "${bundle}/Contents/x86_64-linux")
    set(suffix .so)
  endif()
  # A Windows DLL is a runtime artefact of a SHARED target but a library
  # artefact of a MODULE target; both land in the bundle.
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${ARG_NAME}
    SUFFIX ${suffix}
    LIBRARY_OUTPUT_DIRECTORY "${binary_dir}"
    RUNTIME_OUTPUT_DIRECTORY "${binary_dir}"
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    TARVEX_VST3_BUNDLE "${bundle}")
endfunction()

# Adds a ctest test that runs the SDK validator against a bundle: a folder, or
# a target laid out by tarvex_vst3_bundle. EXTENSIVE adds the validator's long
# tests (-e). The validator's exit code is non-zero when a test fails or the
# module does not load, but a test that cannot be set up or torn down, and a
# module without any audio class (nothing tested), still exit with 0: the
# output is checked for those.
function(tarvex_add_validator_test name bundle)
  cmake_parse_arguments(ARG "EXTENSIVE" "" "" ${ARGN})
  if(TARGET ${bundle})
    get_target_property(bundle_dir ${bundle} TARVEX_VST3_BUNDLE)
    if(NOT bundle_dir)
      message(FATAL_ERROR "tarvex_add_validator_test: ${bundle} is not laid out by tarvex_vst3_bundle")
    endif()
    set(bundle "${bundle_dir}")
  endif()
  cmake_path(ABSOLUTE_PATH bundle BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE)
  # The validator takes the module name from the last path component.
  string(REGEX REPLACE "/+$" "" bundle "${bundle}")
  if(CMAKE_CROSSCOMPILING AND WIN32)
    # Wine maps the Linux root to drive Z:.
    string(REPLACE "/" "\\" bundle "Z:${bundle}")
  endif()
  set(options)
  if(ARG_EXTENSIVE)
    list(APPEND options -e)
  endif()
  add_test(NAME ${name} COMMAND vst3_validator ${options} "${bundle}")
  set_tests_properties(${name} PROPERTIES
    FAIL_REGULAR_EXPRESSION "Failed to (setup|teardown) test;Result: 0 tests passed"
    LABELS vst3)
  if(TARVEX_TEST_FIXTURES)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${TARVEX_TEST_FIXTURES}")
  endif()
endfunction()
