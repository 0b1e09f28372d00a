# kvlisten, the receiver for integrators: its portable core and the socket part of the
# platform, built natively and for Windows. On Windows the tests' UDP listener uses the same
# receiving code.
set(kvlisten_dir ${CMAKE_SOURCE_DIR}/tools/kvlisten)
if(WIN32)
    set(kvlisten_platform_source ${kvlisten_dir}/udp_receiver_win.cpp)
else()
    set(kvlisten_platform_source ${kvlisten_dir}/udp_receiver_posix.cpp)
endif()
add_library(kvlisten_core STATIC ${kvlisten_dir}/listen_core.cpp ${kvlisten_platform_source})
target_include_directories(kvlisten_core PUBLIC ${CMAKE_SOURCE_DIR})
kvmidi_warnings(kvlisten_core)
add_executable(kvlisten ${kvlisten_dir}/kvlisten.cpp)
target_link_libraries(kvlisten PRIVATE kvlisten_core)
kvmidi_warnings(kvlisten)

if(WIN32)
    target_link_libraries(kvlisten_core PUBLIC ws2_32)
    if(TARGET kvmidi_test_support)
        target_link_libraries(kvmidi_test_support PUBLIC kvlisten_core)
    endif()
else()
    target_compile_options(kvlisten_core PRIVATE ${sanitizers})
    target_compile_options(kvlisten PRIVATE ${sanitizers})
    target_link_options(kvlisten PRIVATE ${sanitizers})
    # The real program, started as a user would: its arguments and one reception.
    add_test(NAME kvlisten_arguments_and_reception
             COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/kvlisten/test_kvlisten.py $<TARGET_FILE:kvlisten>)
endif()
