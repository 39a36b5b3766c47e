# Makes the Windows zip or installer with CPack and tries it as a bare Windows
# would: in a fresh wine prefix, on a display, with only what the package holds.
#   zip        unzipped into an empty folder: exactly the program, the DLLs it
#              needs and Qt's plugins; the program shows its test window.
#   installer  run silently: the program in Program Files, a Start-menu entry,
#              an entry among the installed programs with the version and the
#              icon; the program shows its test window; uninstalled silently,
#              nothing of it is left.
# Expects PACKAGE, BUILD_DIR, WORK_DIR, WINE_RUN (the build's wine runner) and OBJDUMP,
# and runs under xvfb-run.

cmake_minimum_required(VERSION 3.25) # symbolic links are not followed: wine links its folders to $HOME
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(ENV{WINEPREFIX} "${WORK_DIR}/wine")
# No DLL folder of the build's, and Windows' own platform: only what the package holds.
set(ENV{TAVRIN_WINE_BARE} 1)
unset(ENV{QT_QPA_PLATFORM})

include(${CMAKE_CURRENT_LIST_DIR}/check_steps.cmake)

# The program names itself and its version to Windows, and carries its icon.
function(expect_version_record_and_icon program)
    run(${OBJDUMP} -p "${program}")
    # Resource types 14 and 16: an icon group, the one Qt and Explorer take, and a version record.
    if(NOT output MATCHES "Entry: ID: 0x00000e" OR NOT output MATCHES "name: [^\n]*IDI_ICON1"
       OR NOT output MATCHES "Entry: ID: 0x000010")
        message(FATAL_ERROR "${program} carries no icon or no version record")
    endif()
    file(READ "${program}" bytes HEX)
    foreach(field ProductName=TavrinTest InternalName=TavrinTest OriginalFilename=TavrinTest.exe FileVersion=1.00
                  ProductVersion=1.00)
        # Each string of the record: its key and its value in UTF-16, ended by a zero and
        # the value aligned to 32 bits.
        string(REPLACE "=" ";" field "${field}")
        set(utf16 "")
        foreach(text IN LISTS field)
            string(HEX "${text}" hex)
            string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
            list(APPEND utf16 "${hex}0000")
        endforeach()
        list(JOIN utf16 "(0000)?" pattern)
        if(NOT bytes MATCHES "${pattern}")
            message(FATAL_ERROR "${program}'s version record lacks ${field}")
        endif()
    endforeach()
endfunction()

function(wine_finished)
    execute_process(COMMAND wineserver -w TIMEOUT 120)
endfunction()

if(PACKAGE STREQUAL "zip")
    set(generator ZIP)
    set(suffix win64.zip)
else()
    set(generator NSIS)
    set(suffix setup.exe)
endif()
run(cpack -G ${generator} --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}/package")
file(GLOB package "${WORK_DIR}/package/TavrinTest-*-${suffix}")
if(NOT package)
    message(FATAL_ERROR "cpack made no TavrinTest-*-${suffix}")
endif()

if(PACKAGE STREQUAL "zip")
    set(folder "${WORK_DIR}/unzipped")
    file(ARCHIVE_EXTRACT INPUT "${package}" DESTINATION "${folder}")
    file(GLOB_RECURSE files RELATIVE "${folder}" "${folder}/*")
    list(SORT files)
    set(expected Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll TavrinTest.exe icudt72.dll icuuc72.dll libgcc_s_seh-1.dll
                 libstdc++-6.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll)
    if(NOT files STREQUAL expected)
        message(FATAL_ERROR "The zip holds\n  ${files}\nand not\n  ${expected}")
    endif()
    expect_version_record_and_icon("${folder}/TavrinTest.exe")
    expect_test_window_shown(20 ${WINE_RUN} "${folder}/TavrinTest.exe")
    wine_finished()
    return()
endif()

set(drive "${WORK_DIR}/wine/drive_c")
set(installed "${drive}/Program Files/TavrinTest")
run(${WINE_RUN} "${package}" /S "/D=C:\\Program Files\\TavrinTest")
wine_finished()
foreach(file TavrinTest.exe Qt6Widgets.dll platforms/qwindows.dll Uninstall.exe)
    if(NOT EXISTS "${installed}/${file}")
        message(FATAL_ERROR "The installer left no ${file} in Program Files")
    endif()
endforeach()
file(GLOB_RECURSE shortcuts "${drive}/*.lnk")
if(NOT shortcuts MATCHES "/Start Menu/Programs/TavrinTest/TavrinTest\\.lnk")
    message(FATAL_ERROR "The installer made no Start-menu entry")
endif()
set(uninstallKey "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TavrinTest")
run(${WINE_RUN} reg query "${uninstallKey}")
if(NOT output MATCHES "DisplayVersion[^\n]*1\\.0" OR NOT output MATCHES "DisplayIcon[^\n]*TavrinTest\\.exe")
    message(FATAL_ERROR "The installed program's entry lacks its version or icon:\n${output}")
endif()

expect_test_window_shown(20 ${WINE_RUN} "${installed}/TavrinTest.exe")
wine_finished()

run(${WINE_RUN} "${installed}/Uninstall.exe" /S)
wine_finished()
file(GLOB_RECURSE left LIST_DIRECTORIES true "${drive}/*")
list(FILTER left INCLUDE REGEX "/[^/]*TavrinTest[^/]*$")
execute_process(COMMAND ${WINE_RUN} reg query "${uninstallKey}" RESULT_VARIABLE stillRegistered
                OUTPUT_QUIET ERROR_QUIET)
wine_finished()
if(left OR EXISTS "${installed}" OR stillRegistered EQUAL 0)
    message(FATAL_ERROR "The uninstaller left ${left}, or the program's entry among the installed programs")
endif()
