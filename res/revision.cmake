# The revision of the build for the About panel: a header rewritten at every build when the
# commit changed, without a new configure run.
set(KVMIDI_REVISION_HEADER ${CMAKE_BINARY_DIR}/generated/kvmidi_revision.h)
add_custom_target(kvmidi_revision
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT=${KVMIDI_REVISION_HEADER}
            -P ${CMAKE_SOURCE_DIR}/res/write_revision.cmake
    BYPRODUCTS ${KVMIDI_REVISION_HEADER}
    COMMENT "Revision of the build")
add_dependencies(kvMidi kvmidi_revision)
# The end-to-end tests compare the About panel with the version and the revision's form.
if(TARGET kvmidi_e2e_tests)
    target_include_directories(kvmidi_e2e_tests PRIVATE ${CMAKE_BINARY_DIR}/generated)
endif()
set_property(SOURCE res/kvMidi.rc APPEND PROPERTY OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/generated/kvmidi_version.h)
