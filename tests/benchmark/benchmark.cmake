# The virtual MIDI driver: a winmm.dll for tests only, never shipped, for what must drive the
# real kvMidi.exe (the end-to-end MIDI tests and the benchmark). It lives in its own folder,
# bin/virtual_midi, with copies of kvMidi.exe and KvCom.dll and the binaries that need it, so
# that nothing in bin/ ever loads it by accident (Windows itself would take a winmm.dll from
# the program's folder). What runs there sets WINEDLLOVERRIDES so that Wine prefers it.
set(virtual_midi_dir ${CMAKE_BINARY_DIR}/bin/virtual_midi)

add_library(virtual_midi_driver SHARED ${CMAKE_SOURCE_DIR}/tests/benchmark/virtual_midi_driver.cpp)
set_target_properties(virtual_midi_driver PROPERTIES PREFIX "" OUTPUT_NAME winmm RUNTIME_OUTPUT_DIRECTORY ${virtual_midi_dir})
kvmidi_warnings(virtual_midi_driver)
# The system's winmm.dll exports the standard-call functions by their plain names.
target_link_options(virtual_midi_driver PRIVATE $<$<STREQUAL:${KVMIDI_ARCH},i686>:LINKER:--kill-at>)

# The program beside the driver, always the one just built (the targets named in the command
# are built first).
add_custom_target(virtual_midi_program ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${virtual_midi_dir}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:kvMidi> $<TARGET_FILE:KvCom> ${virtual_midi_dir})

# The end-to-end MIDI test, which lives here beside the driver rather than in tests/e2e, starts
# the kvMidi.exe beside the driver: it runs from that folder, not from bin/ with the other
# end-to-end tests. Wine's own winmm stays the default; only this test and the programs it
# starts use ours (WINEDLLOVERRIDES keeps tools/wine-env.sh's entries).
add_executable(kvmidi_midi_e2e_tests ${CMAKE_SOURCE_DIR}/tests/benchmark/midi_e2e_test.cpp)
add_executable(kvmidi_midi_benchmark ${CMAKE_SOURCE_DIR}/tests/benchmark/midi_benchmark.cpp)
foreach(target kvmidi_midi_e2e_tests kvmidi_midi_benchmark)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${virtual_midi_dir})
    target_link_libraries(${target} PRIVATE kvmidi_test_support)
    add_dependencies(${target} virtual_midi_driver virtual_midi_program)
    kvmidi_warnings(${target})
endforeach()
target_link_libraries(kvmidi_midi_e2e_tests PRIVATE gtest gtest_main)
kvmidi_add_gtest(midi_e2e_tests kvmidi_midi_e2e_tests)
set_tests_properties(midi_e2e_tests PROPERTIES
    ENVIRONMENT "WINEPREFIX=${KVMIDI_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=\\;winealsa.drv,winepulse.drv,wineoss.drv=\\;winmm=n,b"
    WORKING_DIRECTORY ${virtual_midi_dir})
