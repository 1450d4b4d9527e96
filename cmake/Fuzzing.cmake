# Coverage-guided fuzzing with clang's libFuzzer, under AddressSanitizer and
# UndefinedBehaviorSanitizer. Every target is instrumented for coverage; only
# fuzzers link the libFuzzer driver.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TARVEX_FUZZ needs clang++: use the native-fuzz preset")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
set(TARVEX_FUZZ_SECONDS 60 CACHE STRING "Seconds the fuzz tests run")

# A fuzzer and its ctest test, which runs it for TARVEX_FUZZ_SECONDS from the
# committed seed corpus. New inputs go to a corpus in the build folder, so the
# committed seeds never change; a crash leaves its input there too.
function(tarvex_add_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  tarvex_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${name}
           COMMAND ${name} -max_total_time=${TARVEX_FUZZ_SECONDS} -timeout=10
                   -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/ ${work} ${ARG_CORPUS})
  math(EXPR limit "${TARVEX_FUZZ_SECONDS} * 3 + 60")
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT ${limit})
endfunction()
