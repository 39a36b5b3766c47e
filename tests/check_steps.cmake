# Steps that the tests written as CMake scripts share.

# Runs a command and fails the test, with what it printed, if the command
# fails. Leaves what it printed in `output`.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "failed (${result}): ${ARGN}\n${output}")
    endif()
    set(output "${output}" PARENT_SCOPE)
endfunction()

# Starts the program, the command after `seconds` (with the emulator that runs
# it, if any), ends it after that many seconds, and reads Qt's painting log:
# the test window must have reached the screen. Leaves the log in `log`. A
# Windows program writes Qt's messages to the debugger unless told otherwise.
function(expect_test_window_shown seconds)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env QT_LOGGING_RULES=qt.widgets.painting=true QT_FORCE_STDERR_LOGGING=1 ${ARGN}
        TIMEOUT ${seconds} OUTPUT_VARIABLE output ERROR_VARIABLE log)
    if(NOT log MATCHES "Syncing [^\n]* of frmTavrinTest\\([^\n]*name=\"frmTavrinTest\"\\)")
        message(FATAL_ERROR "${ARGN} did not show its test window. It wrote:\n${output}${log}")
    endif()
    set(log "${log}" PARENT_SCOPE)
endfunction()
