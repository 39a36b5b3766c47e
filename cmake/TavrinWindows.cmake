# Windows builds: where the DLLs that the programs need lie, and, when
# cross-building on Linux, wine as the emulator that runs the tests.
#
# TAVRIN_WINDOWS_DLL_DIRS lists the folders that hold the DLLs of Qt, ICU
# and the compiler's runtime. The program's deployment copies what it needs
# from them, and wine finds them there.

if(TAVRIN_BUILD_UI)
    find_package(Qt6 6.4 REQUIRED COMPONENTS Core)
    set(qtBinDir "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
endif()
find_package(ICU REQUIRED COMPONENTS uc)
get_filename_component(icuBinDir "${ICU_INCLUDE_DIR}/../bin" ABSOLUTE)

set(TAVRIN_WINDOWS_DLL_DIRS ${qtBinDir} ${icuBinDir})
# The compiler's own runtime (libstdc++, libgcc, winpthread), where MinGW keeps it.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    foreach(runtime libstdc++-6.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                        OUTPUT_VARIABLE file OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(IS_ABSOLUTE "${file}")
            get_filename_component(dir "${file}" DIRECTORY)
            list(APPEND TAVRIN_WINDOWS_DLL_DIRS "${dir}")
        endif()
    endforeach()
endif()
list(REMOVE_DUPLICATES TAVRIN_WINDOWS_DLL_DIRS)

if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    # Every Windows program of the build, the tests first, runs through this
    # script: wine in a prefix of the build's own, with the DLL folders on
    # wine's PATH and Qt's variables handed on.
    find_program(TAVRIN_WINE wine REQUIRED)
    set(TAVRIN_WINEPREFIX "${PROJECT_BINARY_DIR}/wine" CACHE PATH "The wine prefix that runs the build's programs")
    set(TAVRIN_WINE_FONTS /usr/share/fonts/truetype/liberation2 CACHE PATH
        "TrueType fonts for Qt's offscreen platform under wine: Liberation, with Arial's metrics")
    # Wine sees the host's files on drive Z:, in Windows' form.
    set(winePath ${TAVRIN_WINDOWS_DLL_DIRS})
    list(TRANSFORM winePath PREPEND "Z:")
    list(TRANSFORM winePath REPLACE "/" "\\\\")
    string(REPLACE "/" "\\" TAVRIN_WINE_FONTDIR "Z:${TAVRIN_WINE_FONTS}")
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine_run.sh.in ${PROJECT_BINARY_DIR}/wine_run.sh @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine_run.sh)
endif()
