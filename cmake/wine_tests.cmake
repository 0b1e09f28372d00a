# Win32 tests, run under Wine. The prefix lives in the build folder and is prepared by
# tools/wine-env.sh, which also starts the one wineserver that serves the whole run.
set(KVMIDI_WINEPREFIX ${CMAKE_SOURCE_DIR}/build/wineprefix CACHE PATH "Wine prefix of the tests")

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB test_support_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(kvmidi_test_support STATIC ${test_support_sources})
target_link_libraries(kvmidi_test_support PUBLIC kvmidi_win ws2_32)
kvmidi_warnings(kvmidi_test_support)

# The program's own resources go into the Win32 tests, so its dialogs, strings and artwork are
# the module's own there as they are in kvMidi.exe.
file(GLOB win_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(kvmidi_win_tests ${win_test_sources} ${CMAKE_SOURCE_DIR}/res/kvMidi.rc)
target_include_directories(kvmidi_win_tests PRIVATE ${CMAKE_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(kvmidi_win_tests PRIVATE kvmidi_test_support gtest gtest_main)
add_dependencies(kvmidi_win_tests kvMidi)
kvmidi_warnings(kvmidi_win_tests)
kvmidi_add_gtest(win_unit_tests kvmidi_win_tests)

file(GLOB e2e_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
add_executable(kvmidi_e2e_tests ${e2e_test_sources})
target_link_libraries(kvmidi_e2e_tests PRIVATE kvmidi_test_support gtest gtest_main)
target_include_directories(kvmidi_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR}/res)
add_dependencies(kvmidi_e2e_tests kvMidi KvCom)
kvmidi_warnings(kvmidi_e2e_tests)
kvmidi_add_gtest(e2e_tests kvmidi_e2e_tests)

# The test-only MIDI driver and anything else the Wine tiers need.
include(${CMAKE_SOURCE_DIR}/tests/benchmark/benchmark.cmake OPTIONAL)

set_tests_properties(win_unit_tests e2e_tests PROPERTIES
    ENVIRONMENT "WINEPREFIX=${KVMIDI_WINEPREFIX};WINEDEBUG=-all"
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The stand-in for the maker's 32-bit KvCom.dll, for the installer's round trip.
if(KVMIDI_ARCH STREQUAL "i686")
    include(${CMAKE_SOURCE_DIR}/tests/maker_dll/maker_dll.cmake)
endif()
