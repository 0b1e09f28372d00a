# The stand-in for the maker's KvCom.dll (32-bit only, as the maker's) and the test of
# kvMidi.exe with it, in bin/maker_dll; the installer's round trip puts both beside the
# installed program.
set(maker_dll_dir ${CMAKE_BINARY_DIR}/bin/maker_dll)
add_library(maker_kvcom SHARED ${CMAKE_CURRENT_LIST_DIR}/maker_kvcom.c ${CMAKE_CURRENT_LIST_DIR}/maker_kvcom.def)
add_executable(kvmidi_maker_dll_test ${CMAKE_CURRENT_LIST_DIR}/maker_dll_test.cpp)
set_target_properties(maker_kvcom kvmidi_maker_dll_test PROPERTIES
    PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${maker_dll_dir} ARCHIVE_OUTPUT_DIRECTORY ${maker_dll_dir})
target_link_libraries(kvmidi_maker_dll_test PRIVATE kvmidi_test_support gtest gtest_main)
kvmidi_warnings(maker_kvcom)
kvmidi_warnings(kvmidi_maker_dll_test)
