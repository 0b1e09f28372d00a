# Cross-compiling for 32-bit Windows with mingw-w64. These machines cannot run 32-bit code,
# so no emulator is set: the tests of this build only inspect the binaries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KVMIDI_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
