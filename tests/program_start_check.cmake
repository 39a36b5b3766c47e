# Starts the built program headless for a few seconds: the test window must
# reach the screen, and no list window may exist yet. PROGRAM is the program,
# after the emulator that runs it, if any.
include(${CMAKE_CURRENT_LIST_DIR}/check_steps.cmake)

set(seconds 5)
list(LENGTH PROGRAM words)
if(words GREATER 1)
    set(seconds 10) # wine starts it
endif()
set(ENV{QT_QPA_PLATFORM} offscreen)
expect_test_window_shown(${seconds} ${PROGRAM})
if(log MATCHES "frmTavrin\\(")
    message(FATAL_ERROR "A list window exists before any button needed it.")
endif()
