# Read by CPack for each generator: the installer is named as a setup program.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "TavrinTest-${CPACK_PACKAGE_VERSION}-setup")
endif()
