# One libFuzzer target for every parser of outside input (clang, with the address and
# undefined-behaviour sanitizers). The test command replays its saved regression inputs and
# runs a fixed number of inputs from a fixed seed, so that a run passes or fails the same on
# every machine however busy (a new corpus, as in a clean build); tools/fuzz.sh runs it longer.
set(KVMIDI_FUZZ_RUNS 200000 CACHE STRING "How many inputs the fuzz target runs as a test")
set(fuzz_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
target_compile_options(kvmidi_portable PRIVATE ${fuzz_flags} -fsanitize=fuzzer-no-link)
add_executable(input_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/input_fuzz.cpp)
target_compile_options(input_fuzz PRIVATE ${fuzz_flags} -fsanitize=fuzzer)
target_link_options(input_fuzz PRIVATE ${fuzz_flags} -fsanitize=fuzzer)
target_link_libraries(input_fuzz PRIVATE kvmidi_portable)
# New inputs go to the build folder's corpus, never into the source tree.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/corpus/input_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/regressions)
add_test(NAME input_fuzz COMMAND input_fuzz -seed=1 -runs=${KVMIDI_FUZZ_RUNS} -print_final_stats=1
                                 ${CMAKE_BINARY_DIR}/corpus/input_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/regressions)
