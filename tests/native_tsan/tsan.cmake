# The capture rings and the sending thread between real threads under ThreadSanitizer. It cannot
# share a binary with the address sanitizer, so it builds its own copy of the few files it needs.
set(tsan_flags -fsanitize=thread -fno-omit-frame-pointer -g)
add_executable(kvmidi_tsan_tests
    ${CMAKE_SOURCE_DIR}/tests/native_tsan/sending_thread_tsan_test.cpp
    ${CMAKE_SOURCE_DIR}/input/midi_ring.cpp
    ${CMAKE_SOURCE_DIR}/remote/command_text.cpp
    ${CMAKE_SOURCE_DIR}/remote/sending_thread.cpp
)
target_include_directories(kvmidi_tsan_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(kvmidi_tsan_tests PRIVATE ${tsan_flags})
target_link_options(kvmidi_tsan_tests PRIVATE ${tsan_flags})
target_link_libraries(kvmidi_tsan_tests PRIVATE GTest::gtest_main)
kvmidi_warnings(kvmidi_tsan_tests)
kvmidi_add_gtest(native_tsan_tests kvmidi_tsan_tests)
set_tests_properties(native_tsan_tests PROPERTIES ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
