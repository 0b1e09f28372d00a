# Windows builds (mingw-w64): the program, our KvCom.dll and the Win32 tests, run under Wine.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
# The C and C++ runtimes go into each binary: kvMidi.exe needs only system DLLs and KvCom.dll.
add_link_options(-static)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(KVMIDI_ARCH i686)
else()
    set(KVMIDI_ARCH x86_64)
endif()

# Every Win32 file of the subsystems except the application object and the controller, which
# only the program has.
add_library(kvmidi_win STATIC ${KVMIDI_WIN_SOURCES})
target_link_libraries(kvmidi_win PUBLIC kvmidi_portable comctl32 ws2_32 iphlpapi winmm shell32 user32 gdi32
                      advapi32 kernel32)
kvmidi_warnings(kvmidi_win)

# Our stand-in for the maker's network library, exporting the same names.
add_library(KvCom SHARED kvcom/kvcom.cpp framework/text.cpp kvcom/KvCom_${KVMIDI_ARCH}.def)
set_target_properties(KvCom PROPERTIES PREFIX "" OUTPUT_NAME KvCom)
target_include_directories(KvCom PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(KvCom PRIVATE ws2_32)
kvmidi_warnings(KvCom)

# The program links against an import library made from a .def file, as it would against
# the maker's, never against the DLL's own objects.
if(KVMIDI_ARCH STREQUAL "i686")
    set(kvcom_import_def ${CMAKE_SOURCE_DIR}/kvcom/KvCom_i686_import.def)
else()
    set(kvcom_import_def ${CMAKE_SOURCE_DIR}/kvcom/KvCom_x86_64.def)
endif()
set(kvcom_import_lib ${CMAKE_BINARY_DIR}/libKvCom_import.a)
add_custom_command(OUTPUT ${kvcom_import_lib}
    COMMAND ${CMAKE_DLLTOOL} -d ${kvcom_import_def} -l ${kvcom_import_lib}
    DEPENDS ${kvcom_import_def}
    COMMENT "Import library for KvCom.dll")
add_custom_target(kvcom_import_lib DEPENDS ${kvcom_import_lib})
add_library(kvcom_import INTERFACE)
target_link_libraries(kvcom_import INTERFACE ${kvcom_import_lib})
add_dependencies(kvcom_import kvcom_import_lib)

add_executable(kvMidi WIN32
    framework/win_main.cpp
    app/kvmidi_app.cpp
    app/kvmidi_dlg.cpp
    app/kvmidi_dlg_inputs.cpp
    app/kvmidi_dlg_exit.cpp
    ui/settings_dlg.cpp
    ui/settings_dlg.h
    ui/settings_host.h
    res/kvMidi.rc
)
target_link_libraries(kvMidi PRIVATE kvmidi_win kvcom_import)
add_dependencies(kvMidi KvCom kvcom_import_lib)
kvmidi_warnings(kvMidi)
file(GLOB resource_inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/res/*.h
     ${CMAKE_SOURCE_DIR}/res/*.ico ${CMAKE_SOURCE_DIR}/res/*.bmp)
set_property(SOURCE res/kvMidi.rc APPEND PROPERTY OBJECT_DEPENDS ${resource_inputs})
target_include_directories(kvMidi PRIVATE ${CMAKE_SOURCE_DIR}/res)

# Both builds: the import and export tables carry the names the maker's library uses, and
# the program needs no DLL but the system's and KvCom.dll.
add_test(NAME binaries_link_kvcom_by_name
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${KVMIDI_OBJDUMP} -DARCH=${KVMIDI_ARCH}
                 -DEXE=$<TARGET_FILE:kvMidi> -DDLL=$<TARGET_FILE:KvCom>
                 -P ${CMAKE_SOURCE_DIR}/cmake/check_binaries.cmake)

if(CMAKE_CROSSCOMPILING_EMULATOR)
    include(cmake/wine_tests.cmake)
endif()

# The version resources of kvMidi.exe and KvCom.dll, from the project's version; the
# manifest goes into kvMidi.exe with them.
configure_file(${CMAKE_SOURCE_DIR}/res/kvmidi_version.h.in ${CMAKE_BINARY_DIR}/generated/kvmidi_version.h @ONLY)
target_include_directories(kvMidi PRIVATE ${CMAKE_BINARY_DIR}/generated)
set_property(SOURCE res/kvMidi.rc APPEND PROPERTY OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/res/kvMidi.manifest)
target_sources(KvCom PRIVATE kvcom/kvcom.rc)
target_include_directories(KvCom PRIVATE ${CMAKE_BINARY_DIR}/generated)
# The About panel's version and revision.
include(${CMAKE_SOURCE_DIR}/res/revision.cmake)
