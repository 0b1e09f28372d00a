# The virtual MIDI driver: a winmm.dll for tests only, never shipped. It lives in its own
# folder, bin/virtual_midi, with copies of kvMidi.exe and KvCom.dll and the binaries that
# need it, so that nothing in bin/ ever loads it by accident (Windows itself would take a
# winmm.dll from the program's folder). The tests that run there set WINEDLLOVERRIDES so
# that Wine prefers it to its own winmm.
set(virtual_midi_dir ${CMAKE_BINARY_DIR}/bin/virtual_midi)
set(virtual_midi_source ${CMAKE_SOURCE_DIR}/tests/virtual_midi)

add_library(virtual_midi_driver SHARED
    ${virtual_midi_source}/driver/driver.cpp
    ${virtual_midi_source}/driver/command_thread.cpp
    ${virtual_midi_source}/driver/winmm.def
)
set_target_properties(virtual_midi_driver PROPERTIES PREFIX "" OUTPUT_NAME winmm
                      RUNTIME_OUTPUT_DIRECTORY ${virtual_midi_dir})
target_include_directories(virtual_midi_driver PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(virtual_midi_driver PRIVATE user32 kernel32)
kvmidi_warnings(virtual_midi_driver)

# The program beside the driver, always the one just built.
add_custom_command(
    OUTPUT ${virtual_midi_dir}/kvMidi.exe ${virtual_midi_dir}/KvCom.dll
    COMMAND ${CMAKE_COMMAND} -E make_directory ${virtual_midi_dir}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:kvMidi> $<TARGET_FILE:KvCom> ${virtual_midi_dir}
    DEPENDS kvMidi KvCom
    COMMENT "kvMidi.exe and KvCom.dll beside the virtual MIDI driver")
add_custom_target(virtual_midi_program ALL DEPENDS ${virtual_midi_dir}/kvMidi.exe ${virtual_midi_dir}/KvCom.dll)

add_library(kvmidi_virtual_midi_client STATIC ${virtual_midi_source}/virtual_midi_client.cpp)
target_include_directories(kvmidi_virtual_midi_client PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(kvmidi_virtual_midi_client PUBLIC user32)
kvmidi_warnings(kvmidi_virtual_midi_client)

# Wine's own winmm stays the default; only these binaries and the programs they start use ours.
# WINEDLLOVERRIDES keeps the entries tools/wine-env.sh sets.
set(virtual_midi_environment
    "WINEPREFIX=${KVMIDI_WINEPREFIX}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=\\;winmm=n,b")

# MidiInDevice and SyncMidiDevices in a process of their own that loads the driver.
file(GLOB midi_device_test_sources CONFIGURE_DEPENDS ${virtual_midi_source}/*_test.cpp)
add_executable(kvmidi_midi_device_tests ${midi_device_test_sources})
set_target_properties(kvmidi_midi_device_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${virtual_midi_dir})
target_link_libraries(kvmidi_midi_device_tests PRIVATE kvmidi_test_support kvmidi_virtual_midi_client gtest gtest_main)
add_dependencies(kvmidi_midi_device_tests virtual_midi_driver)
kvmidi_warnings(kvmidi_midi_device_tests)
kvmidi_add_gtest(midi_device_tests kvmidi_midi_device_tests)
set_tests_properties(midi_device_tests PROPERTIES
    ENVIRONMENT "${virtual_midi_environment};KVMIDI_VIRTUAL_MIDI=Keys,Pads!open,,Drums!start,Wind,Six,Seven"
    WORKING_DIRECTORY ${virtual_midi_dir})

# The end-to-end MIDI tests start the kvMidi.exe beside the driver: they run from its folder,
# and not from bin/ with the other end-to-end tests.
set(midi_e2e_source ${CMAKE_SOURCE_DIR}/tests/e2e/midi_test.cpp)
get_target_property(e2e_sources kvmidi_e2e_tests SOURCES)
list(REMOVE_ITEM e2e_sources ${midi_e2e_source})
set_property(TARGET kvmidi_e2e_tests PROPERTY SOURCES ${e2e_sources})
add_executable(kvmidi_midi_e2e_tests ${midi_e2e_source})
set_target_properties(kvmidi_midi_e2e_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${virtual_midi_dir})
target_link_libraries(kvmidi_midi_e2e_tests PRIVATE kvmidi_test_support kvmidi_virtual_midi_client gtest gtest_main)
add_dependencies(kvmidi_midi_e2e_tests virtual_midi_driver virtual_midi_program)
kvmidi_warnings(kvmidi_midi_e2e_tests)
kvmidi_add_gtest(midi_e2e_tests kvmidi_midi_e2e_tests)
set_tests_properties(midi_e2e_tests PROPERTIES
    ENVIRONMENT "${virtual_midi_environment}" WORKING_DIRECTORY ${virtual_midi_dir})

# Every winmm function the program imports is one the driver exports.
add_test(NAME virtual_midi_driver_covers_the_program
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${KVMIDI_OBJDUMP} -DEXE=$<TARGET_FILE:kvMidi>
                 -DDLL=$<TARGET_FILE:virtual_midi_driver>
                 -P ${virtual_midi_source}/check_driver_exports.cmake)

# Latency and loss through the driver; a program that prints figures, run by hand.
add_executable(kvmidi_midi_benchmark ${virtual_midi_source}/benchmark/midi_benchmark.cpp)
set_target_properties(kvmidi_midi_benchmark PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${virtual_midi_dir})
target_link_libraries(kvmidi_midi_benchmark PRIVATE kvmidi_test_support kvmidi_virtual_midi_client)
add_dependencies(kvmidi_midi_benchmark virtual_midi_driver virtual_midi_program)
kvmidi_warnings(kvmidi_midi_benchmark)
