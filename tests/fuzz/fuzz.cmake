# One libFuzzer target for every parser of outside input (clang, with the address and
# undefined-behaviour sanitizers). The test command runs it briefly over its saved regression
# inputs; tools/fuzz.sh runs it for longer.
set(KVMIDI_FUZZ_SECONDS 20 CACHE STRING "How long the fuzz target runs as a test")
set(fuzz_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
target_compile_options(kvmidi_portable PRIVATE ${fuzz_flags} -fsanitize=fuzzer-no-link)
add_executable(input_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/input_fuzz.cpp)
target_compile_options(input_fuzz PRIVATE ${fuzz_flags} -fsanitize=fuzzer)
target_link_options(input_fuzz PRIVATE ${fuzz_flags} -fsanitize=fuzzer)
target_link_libraries(input_fuzz PRIVATE kvmidi_portable)
# New inputs go to the build folder's corpus, never into the source tree.
set(corpus ${CMAKE_BINARY_DIR}/corpus/input_fuzz)
set(regressions ${CMAKE_SOURCE_DIR}/tests/fuzz/regressions)
file(MAKE_DIRECTORY ${corpus} ${regressions})
add_test(NAME input_fuzz
         COMMAND input_fuzz -max_total_time=${KVMIDI_FUZZ_SECONDS} -print_final_stats=1 ${corpus} ${regressions})
