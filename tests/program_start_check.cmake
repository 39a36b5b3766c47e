# Starts the built program headless for a few seconds and reads Qt's painting
# log: the test window must reach the screen, and no list window may exist yet.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=qt.widgets.painting=true
            ${PROGRAM}
    TIMEOUT 5
    OUTPUT_VARIABLE output
    ERROR_VARIABLE log)
if(NOT log MATCHES "Syncing [^\n]* of frmTavrinTest\\([^\n]*name=\"frmTavrinTest\"\\)")
    message(FATAL_ERROR "The program did not show its test window. It wrote:\n${output}${log}")
endif()
if(log MATCHES "frmTavrin\\(")
    message(FATAL_ERROR "A list window exists before any button needed it.")
endif()
