# libFuzzer targets for every parser of outside input (clang, with the address and
# undefined-behaviour sanitizers). The test command runs each one briefly over its saved
# regression inputs; tools/fuzz.sh runs them for longer.
set(KVMIDI_FUZZ_SECONDS 5 CACHE STRING "How long each fuzz target runs as a test")
set(fuzz_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
target_compile_options(kvmidi_portable PRIVATE ${fuzz_flags} -fsanitize=fuzzer-no-link)

file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(source IN LISTS fuzz_sources)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE ${fuzz_flags} -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE ${fuzz_flags} -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE kvmidi_portable)
    # New inputs go to the build folder's corpus, never into the source tree.
    set(corpus ${CMAKE_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${corpus} ${CMAKE_SOURCE_DIR}/tests/fuzz/regressions/${name})
    add_test(NAME ${name}
             COMMAND ${name} -max_total_time=${KVMIDI_FUZZ_SECONDS} -print_final_stats=1
                     ${corpus} ${CMAKE_SOURCE_DIR}/tests/fuzz/regressions/${name})
endforeach()
