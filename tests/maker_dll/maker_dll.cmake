# The stand-in for the maker's KvCom.dll (32-bit only, as the maker's), in bin/maker_dll; the
# installer's round trip puts it beside the installed program.
set(maker_dll_dir ${CMAKE_BINARY_DIR}/bin/maker_dll)
add_library(maker_kvcom SHARED ${CMAKE_CURRENT_LIST_DIR}/maker_kvcom.c ${CMAKE_CURRENT_LIST_DIR}/maker_kvcom.def)
set_target_properties(maker_kvcom PROPERTIES PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${maker_dll_dir} ARCHIVE_OUTPUT_DIRECTORY ${maker_dll_dir})
kvmidi_warnings(maker_kvcom)
