# Run at every build (cmake -P): writes the About panel's revision line, "Revision: <number of
# commits> (<date of the last one, UTC>)", into OUTPUT, rewriting it only when its text
# changes, so that a build without a new commit compiles nothing again. A source tree without
# its git history (an archive) gets revision 0.
set(count 0)
set(date "no version control")
find_program(GIT_COMMAND git)
if(GIT_COMMAND AND EXISTS "${SOURCE_DIR}/.git")
    execute_process(COMMAND "${GIT_COMMAND}" rev-list --count HEAD WORKING_DIRECTORY "${SOURCE_DIR}"
                    OUTPUT_VARIABLE git_count RESULT_VARIABLE count_failed
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    set(ENV{TZ} UTC)
    execute_process(COMMAND "${GIT_COMMAND}" log -1 "--format=%cd" "--date=format-local:%Y-%m-%d %H:%M:%S"
                    WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE git_date RESULT_VARIABLE date_failed
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT count_failed AND NOT date_failed AND git_count MATCHES "^[0-9]+$")
        set(count ${git_count})
        set(date "${git_date}")
    endif()
endif()
set(text "// Made at build time by res/write_revision.cmake from the git history.\n#pragma once\n\n#define KVMIDI_REVISION_TEXT \"Revision: ${count} (${date})\"\n")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old_text)
endif()
if(NOT "${old_text}" STREQUAL "${text}")
    file(WRITE "${OUTPUT}" "${text}")
endif()
