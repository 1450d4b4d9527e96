# The vendored VST3 SDK, built as static libraries with both toolchains, and
# the SDK's validator as a test host for the plug-in module. The SDK keeps its
# own warnings: no warning flags here, and its headers are SYSTEM includes so
# that they never trip ours.
set(VST3_SDK_DIR "${PROJECT_SOURCE_DIR}/third_party/vst3sdk")

if(WIN32)
  set(VST3_PLATFORM win32)
else()
  set(VST3_PLATFORM linux)
endif()

# Interfaces and their identifiers. RELEASE is public because it changes the
# layout of SDK classes: every translation unit that sees SDK headers must
# agree on it. It holds for every build type, so the sanitizer (Debug) builds
# run the same SDK code as the shipped module, without its development
# asserts and debug output.
add_library(vst3_pluginterfaces STATIC
  ${VST3_SDK_DIR}/pluginterfaces/base/conststringtable.cpp
  ${VST3_SDK_DIR}/pluginterfaces/base/coreiids.cpp
  ${VST3_SDK_DIR}/pluginterfaces/base/funknown.cpp
  ${VST3_SDK_DIR}/pluginterfaces/base/ustring.cpp)
target_include_directories(vst3_pluginterfaces SYSTEM PUBLIC "${VST3_SDK_DIR}")
target_compile_definitions(vst3_pluginterfaces PUBLIC RELEASE=1)
if(WIN32)
  # FUID::generate uses CoCreateGuid.
  target_link_libraries(vst3_pluginterfaces PUBLIC ole32)
endif()

add_library(vst3_base STATIC
  ${VST3_SDK_DIR}/base/source/baseiids.cpp
  ${VST3_SDK_DIR}/base/source/fbuffer.cpp
  ${VST3_SDK_DIR}/base/source/fdebug.cpp
  ${VST3_SDK_DIR}/base/source/fdynlib.cpp
  ${VST3_SDK_DIR}/base/source/fobject.cpp
  ${VST3_SDK_DIR}/base/source/fstreamer.cpp
  ${VST3_SDK_DIR}/base/source/fstring.cpp
  ${VST3_SDK_DIR}/base/source/timer.cpp
  ${VST3_SDK_DIR}/base/source/updatehandler.cpp
  ${VST3_SDK_DIR}/base/thread/source/fcondition.cpp
  ${VST3_SDK_DIR}/base/thread/source/flock.cpp)
target_link_libraries(vst3_base PUBLIC vst3_pluginterfaces)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(vst3_base PUBLIC ${CMAKE_DL_LIBS} Threads::Threads)
endif()

# Pieces that both sides use: the VST interface identifiers and string
# conversion. They live in exactly one library so that a test linking a
# plug-in and the hosting classes sees each identifier once.
add_library(vst3_common STATIC
  ${VST3_SDK_DIR}/public.sdk/source/common/commoniids.cpp
  ${VST3_SDK_DIR}/public.sdk/source/common/commonstringconvert.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstinitiids.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/utility/stringconvert.cpp)
target_link_libraries(vst3_common PUBLIC vst3_base)

# What a plug-in builds on. vstsinglecomponenteffect.cpp compiles
# vsteditcontroller.cpp itself (with IEditController::setState renamed), so
# the latter must not be listed as well.
add_library(vst3_sdk STATIC
  ${VST3_SDK_DIR}/public.sdk/source/common/pluginview.cpp
  ${VST3_SDK_DIR}/public.sdk/source/main/pluginfactory.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstbus.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstcomponentbase.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstparameters.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstsinglecomponenteffect.cpp)
target_link_libraries(vst3_sdk PUBLIC vst3_common)

# The module's exported entry points (InitDll/ExitDll and DllMain on Windows,
# ModuleEntry/ModuleExit on Linux). Nothing inside the module calls them, so
# they are linked as objects: from an archive the linker would drop them.
add_library(vst3_module_entry OBJECT
  ${VST3_SDK_DIR}/public.sdk/source/main/$<IF:$<BOOL:${WIN32}>,dllmain.cpp,linuxmain.cpp>)
target_link_libraries(vst3_module_entry PUBLIC vst3_pluginterfaces)

# The host side: host context, parameter changes, event lists, process data,
# module loading, preset files and the plug-in provider, for in-process tests
# and the validator.
add_library(vst3_hosting STATIC
  ${VST3_SDK_DIR}/public.sdk/source/common/memorystream.cpp
  ${VST3_SDK_DIR}/public.sdk/source/common/threadchecker_${VST3_PLATFORM}.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/connectionproxy.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/eventlist.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/hostclasses.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/module.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/module_${VST3_PLATFORM}.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/parameterchanges.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/plugprovider.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/processdata.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstpresetfile.cpp)
target_link_libraries(vst3_hosting PUBLIC vst3_common)
if(WIN32)
  target_link_libraries(vst3_hosting PUBLIC shell32)
endif()

# A module exports only the entry points that the SDK marks for export.
foreach(lib vst3_pluginterfaces vst3_base vst3_common vst3_sdk vst3_module_entry vst3_hosting)
  set_target_properties(${lib} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endforeach()

set(VST3_VALIDATOR_DIR "${VST3_SDK_DIR}/public.sdk/samples/vst-hosting/validator")
set(VST3_TESTSUITE_DIR "${VST3_SDK_DIR}/public.sdk/source/vst/testsuite")
add_executable(vst3_validator
  ${VST3_VALIDATOR_DIR}/source/main.cpp
  ${VST3_VALIDATOR_DIR}/source/usediids.cpp
  ${VST3_VALIDATOR_DIR}/source/validator.cpp
  ${VST3_SDK_DIR}/public.sdk/source/main/moduleinit.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/moduleinfo/moduleinfoparser.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/test/connectionproxytest.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/test/eventlisttest.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/test/hostclassestest.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/test/parameterchangestest.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/test/pluginterfacesupporttest.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/hosting/test/processdatatest.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/utility/testing.cpp
  ${VST3_TESTSUITE_DIR}/bus/busactivation.cpp
  ${VST3_TESTSUITE_DIR}/bus/busconsistency.cpp
  ${VST3_TESTSUITE_DIR}/bus/businvalidindex.cpp
  ${VST3_TESTSUITE_DIR}/bus/checkaudiobusarrangement.cpp
  ${VST3_TESTSUITE_DIR}/bus/scanbusses.cpp
  ${VST3_TESTSUITE_DIR}/bus/sidechainarrangement.cpp
  ${VST3_TESTSUITE_DIR}/general/editorclasses.cpp
  ${VST3_TESTSUITE_DIR}/general/midilearn.cpp
  ${VST3_TESTSUITE_DIR}/general/midimapping.cpp
  ${VST3_TESTSUITE_DIR}/general/plugcompat.cpp
  ${VST3_TESTSUITE_DIR}/general/scanparameters.cpp
  ${VST3_TESTSUITE_DIR}/general/suspendresume.cpp
  ${VST3_TESTSUITE_DIR}/general/terminit.cpp
  ${VST3_TESTSUITE_DIR}/noteexpression/keyswitch.cpp
  ${VST3_TESTSUITE_DIR}/noteexpression/noteexpression.cpp
  ${VST3_TESTSUITE_DIR}/processing/automation.cpp
  ${VST3_TESTSUITE_DIR}/processing/process.cpp
  ${VST3_TESTSUITE_DIR}/processing/processcontextrequirements.cpp
  ${VST3_TESTSUITE_DIR}/processing/processformat.cpp
  ${VST3_TESTSUITE_DIR}/processing/processinputoverwriting.cpp
  ${VST3_TESTSUITE_DIR}/processing/processtail.cpp
  ${VST3_TESTSUITE_DIR}/processing/processthreaded.cpp
  ${VST3_TESTSUITE_DIR}/processing/silenceflags.cpp
  ${VST3_TESTSUITE_DIR}/processing/silenceprocessing.cpp
  ${VST3_TESTSUITE_DIR}/processing/speakerarrangement.cpp
  ${VST3_TESTSUITE_DIR}/processing/variableblocksize.cpp
  ${VST3_TESTSUITE_DIR}/state/bypasspersistence.cpp
  ${VST3_TESTSUITE_DIR}/state/invalidstatetransition.cpp
  ${VST3_TESTSUITE_DIR}/state/repeatidenticalstatetransition.cpp
  ${VST3_TESTSUITE_DIR}/state/validstatetransition.cpp
  ${VST3_TESTSUITE_DIR}/testbase.cpp
  ${VST3_TESTSUITE_DIR}/unit/checkunitstructure.cpp
  ${VST3_TESTSUITE_DIR}/unit/scanprograms.cpp
  ${VST3_TESTSUITE_DIR}/unit/scanunits.cpp
  ${VST3_TESTSUITE_DIR}/vsttestsuite.cpp)
target_link_libraries(vst3_validator PRIVATE vst3_hosting)
set_target_properties(vst3_validator PROPERTIES
  OUTPUT_NAME validator
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/vst3sdk")
if(WIN32)
  # The validator's Windows entry point is wmain.
  target_link_options(vst3_validator PRIVATE -municode)
endif()

# The SDK's editor host: a real host that opens a module's editor view in a
# window of its own, for the Windows build (its Linux window needs GTK). It
# is a Windows program (wWinMain) and keeps the SDK's own warnings.
if(WIN32)
  set(VST3_EDITORHOST_DIR "${VST3_SDK_DIR}/public.sdk/samples/vst-hosting/editorhost")
  add_executable(vst3_editorhost WIN32
    ${VST3_EDITORHOST_DIR}/source/editorhost.cpp
    ${VST3_EDITORHOST_DIR}/source/usediids.cpp
    ${VST3_EDITORHOST_DIR}/source/platform/win32/platform.cpp
    ${VST3_EDITORHOST_DIR}/source/platform/win32/window.cpp
    ${VST3_SDK_DIR}/public.sdk/source/common/readfile.cpp)
  target_compile_definitions(vst3_editorhost PRIVATE UNICODE _UNICODE)
  target_link_libraries(vst3_editorhost PRIVATE vst3_hosting shlwapi comdlg32 gdi32 user32)
  target_link_options(vst3_editorhost PRIVATE -municode)
  set_target_properties(vst3_editorhost PROPERTIES
    OUTPUT_NAME editorhost
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/vst3sdk")
endif()

if(TARVEX_TESTS)
  # The validator's self-test exercises the hosting classes (parameter
  # changes, event lists, process data, host classes) as this build compiles
  # them, on every toolchain and sanitizer. It leaks the tests it registers,
  # which LeakSanitizer is told to accept; nothing else may leak.
  set(VST3_SELFTEST_SUPPRESSIONS "${CMAKE_BINARY_DIR}/vst3sdk/selftest.lsan.supp")
  file(WRITE "${VST3_SELFTEST_SUPPRESSIONS}" "leak:Steinberg::Vst::registerTest\n")
  # The sanitizers split their options at white space and know no escapes, so
  # the path stands in quotes it does not itself hold.
  set(quote "'")
  string(FIND "${VST3_SELFTEST_SUPPRESSIONS}" "'" apostrophe)
  if(NOT apostrophe EQUAL -1)
    set(quote "\"")
  endif()
  add_test(NAME vst3_validator_selftest COMMAND vst3_validator -selftest)
  set_tests_properties(vst3_validator_selftest PROPERTIES
    ENVIRONMENT "LSAN_OPTIONS=suppressions=${quote}${VST3_SELFTEST_SUPPRESSIONS}${quote}"
    FAIL_REGULAR_EXPRESSION "Executed 0 Tests"
    LABELS vst3)
  if(TARVEX_TEST_FIXTURES)
    set_tests_properties(vst3_validator_selftest PROPERTIES FIXTURES_REQUIRED "${TARVEX_TEST_FIXTURES}")
  endif()
endif()

include(cmake/Vst3Bundle.cmake)
