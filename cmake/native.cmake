# Native build: the platform-free library and its unit tests under the address and
# undefined-behaviour sanitizers.
set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(kvmidi_portable PRIVATE ${sanitizers})
target_link_options(kvmidi_portable PUBLIC ${sanitizers})
# The standard library's own bounds checks: an index one past a std::array is no silent read.
target_compile_definitions(kvmidi_portable PUBLIC _GLIBCXX_ASSERTIONS)
# Line counters for the coverage that tools/test-all.sh reads with gcovr after the tests; only
# the library is counted, so the tests' own lines never count as covered code.
target_compile_options(kvmidi_portable PRIVATE --coverage)
target_link_options(kvmidi_portable PUBLIC --coverage)

find_package(GTest REQUIRED)
file(GLOB native_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(kvmidi_native_tests ${native_test_sources})
target_compile_options(kvmidi_native_tests PRIVATE ${sanitizers})
target_link_libraries(kvmidi_native_tests PRIVATE kvmidi_portable GTest::gtest_main GTest::gmock)
kvmidi_warnings(kvmidi_native_tests)
kvmidi_add_gtest(native_unit_tests kvmidi_native_tests)
set_tests_properties(native_unit_tests PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1")

# The artwork in res/ is exactly what the generator makes.
add_test(NAME artwork_matches_its_generator
         COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/make_artwork.py --check)
include(${CMAKE_SOURCE_DIR}/tests/native_tsan/tsan.cmake OPTIONAL)
