# Run at install time: copies into DESTINATION every DLL that the BINARIES
# name, and every DLL those name in turn, found in DIRS. A DLL found in none
# of them is Windows' own. Windows compares DLL names without regard to case,
# and so does this, on any file system.
# Expects BINARIES, DIRS, OBJDUMP and DESTINATION.

foreach(dir IN LISTS DIRS)
    file(GLOB dlls "${dir}/*.dll")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" key)
        if(NOT DEFINED found_${key})
            set(found_${key} "${dll}")
        endif()
    endforeach()
endforeach()

set(pending ${BINARIES})
while(pending)
    list(POP_FRONT pending binary)
    execute_process(COMMAND "${OBJDUMP}" -p "${binary}" OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${headers}")
    foreach(name IN LISTS names)
        string(REPLACE "DLL Name: " "" name "${name}")
        string(TOLOWER "${name}" key)
        if(DEFINED found_${key} AND NOT DEFINED copied_${key})
            set(copied_${key} ON)
            list(APPEND pending "${found_${key}}")
            file(INSTALL DESTINATION "${DESTINATION}" TYPE SHARED_LIBRARY FILES "${found_${key}}")
        endif()
    endforeach()
endwhile()
