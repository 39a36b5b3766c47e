# Builds the Debian package with CPack and checks what it installs, that its
# dependencies were worked out from what the program links, and that lintian
# finds no error and no warning in it.
# Expects BUILD_DIR.

set(work "${BUILD_DIR}/debian-package-check")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")
execute_process(COMMAND cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${work}"
                RESULT_VARIABLE result OUTPUT_QUIET)
file(GLOB packages "${work}/*.deb")
list(LENGTH packages count)
if(NOT result EQUAL 0 OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack failed (${result}) or made ${count} packages")
endif()

execute_process(COMMAND dpkg-deb --contents ${packages} OUTPUT_VARIABLE contents)
execute_process(COMMAND dpkg-deb --field ${packages} Package Depends OUTPUT_VARIABLE fields)
execute_process(COMMAND dpkg-deb --fsys-tarfile ${packages} COMMAND tar -xO ./usr/share/applications/tavrintest.desktop
                OUTPUT_VARIABLE desktopEntry)

foreach(expected "./usr/bin/TavrinTest" "./usr/share/applications/tavrintest.desktop"
                 "./usr/share/icons/hicolor/scalable/apps/tavrintest.svg" "./usr/share/man/man1/TavrinTest.1.gz"
                 "./usr/share/doc/tavrintest/copyright")
    string(FIND "${contents}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package lacks ${expected}:\n${contents}")
    endif()
endforeach()
foreach(expected "Package: tavrintest" "libqt6widgets6" "libicu" "fonts-liberation2")
    string(FIND "${fields}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package's fields lack ${expected}:\n${fields}")
    endif()
endforeach()
string(FIND "${desktopEntry}" "Name=TavrinTest" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry has no Name=TavrinTest:\n${desktopEntry}")
endif()

execute_process(COMMAND lintian --fail-on error,warning ${packages} RESULT_VARIABLE result OUTPUT_VARIABLE tags
                ERROR_VARIABLE tags)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian finds fault with the package:\n${tags}")
endif()
