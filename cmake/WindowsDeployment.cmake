# A Windows program lies in one folder with the DLLs it needs, and Qt's
# plugins in folders beneath it, as a portable zip or Program Files holds it:
#
#   TavrinTest.exe  Qt6Core.dll ... icuuc72.dll ... libstdc++-6.dll ...
#   platforms/qwindows.dll  styles/qwindowsvistastyle.dll
#
# tavrin_install_windows_program(target COMPONENT component) installs the
# program there, with the plugins it uses and every DLL that the program or
# a plugin names, found in TAVRIN_WINDOWS_DLL_DIRS or beside the build's own
# libraries. Windows' own DLLs are left to Windows.

function(tavrin_install_windows_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "COMPONENT" "")
    install(TARGETS ${target} RUNTIME DESTINATION . COMPONENT ${arg_COMPONENT})

    set(plugins "")
    foreach(plugin platforms=Qt6::QWindowsIntegrationPlugin styles=Qt6::QWindowsVistaStylePlugin)
        string(REPLACE "=" ";" plugin "${plugin}")
        list(GET plugin 0 folder)
        list(GET plugin 1 pluginTarget)
        if(TARGET ${pluginTarget})
            install(FILES $<TARGET_FILE:${pluginTarget}> DESTINATION ${folder} COMPONENT ${arg_COMPONENT})
            list(APPEND plugins "$<TARGET_FILE:${pluginTarget}>")
        endif()
    endforeach()

    set(dirs ${TAVRIN_WINDOWS_DLL_DIRS} "$<TARGET_FILE_DIR:tavrin_channel_list>")
    if(TARGET tavrin_widgets)
        list(APPEND dirs "$<TARGET_FILE_DIR:tavrin_widgets>")
    endif()
    install(CODE "
        set(BINARIES \"$<TARGET_FILE:${target}>;${plugins}\")
        set(DIRS \"${dirs}\")
        set(OBJDUMP \"${CMAKE_OBJDUMP}\")
        set(DESTINATION \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
        include(\"${CMAKE_CURRENT_FUNCTION_LIST_DIR}/WindowsRuntimeDlls.cmake\")
        " COMPONENT ${arg_COMPONENT})
endfunction()
