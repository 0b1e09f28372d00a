function(kvmidi_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# A GoogleTest binary as one CTest test; its cases are counted from the XML it writes.
function(kvmidi_add_gtest name target)
    if(CMAKE_CROSSCOMPILING)
        # Wine sees the Linux root as drive Z:.
        set(output "xml:Z:${KVMIDI_RESULTS_DIR}/${name}.xml")
    else()
        set(output "xml:${KVMIDI_RESULTS_DIR}/${name}.xml")
    endif()
    add_test(NAME ${name} COMMAND ${target} --gtest_output=${output} ${ARGN})
endfunction()
