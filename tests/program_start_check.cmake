# Starts the built program headless for a few seconds and reads Qt's painting
# log: the test window must reach the screen, and no list window may exist yet.
# PROGRAM is the program, after the emulator that runs it, if any. A Windows
# program writes Qt's messages to the debugger unless told to use stderr.
list(LENGTH PROGRAM words)
set(seconds 5)
if(words GREATER 1)
    set(seconds 10) # wine starts it
endif()
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=qt.widgets.painting=true
            QT_FORCE_STDERR_LOGGING=1 ${PROGRAM}
    TIMEOUT ${seconds}
    OUTPUT_VARIABLE output
    ERROR_VARIABLE log)
if(NOT log MATCHES "Syncing [^\n]* of frmTavrinTest\\([^\n]*name=\"frmTavrinTest\"\\)")
    message(FATAL_ERROR "The program did not show its test window. It wrote:\n${output}${log}")
endif()
if(log MATCHES "frmTavrin\\(")
    message(FATAL_ERROR "A list window exists before any button needed it.")
endif()
