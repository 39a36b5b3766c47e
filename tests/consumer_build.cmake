# Takes the project as a chat client would, in one of four ways, builds a
# small client with it and runs that client:
#   package     cmake --install, then find_package(Tavrin);
#   pkg-config  cmake --install, then g++ with pkg-config's flags;
#   subproject  add_subdirectory of the source, beside a target of the client's
#               named widgets: no test of the project's may be registered, and
#               neither GoogleTest nor Google Benchmark looked for;
#   shared      a build with BUILD_SHARED_LIBS=ON, installed: versioned
#               SONAMEs (DLLs with import libraries on Windows), and no
#               internal symbol exported: exactly the symbols that
#               tests/symbols records, all of them the project's own; then
#               find_package.
# Expects WAY, SOURCE_DIR, BUILD_DIR, CONSUMER_DIR, WORK_DIR, CXX_COMPILER,
# CXX_FLAGS, LINKER_FLAGS; WINDOWS and NM for a Windows build; TOOLCHAIN_FILE
# and EMULATOR, to run the clients with, for a cross build.
cmake_policy(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")
set(SUFFIX "")
if(WINDOWS)
    set(SUFFIX ".exe")
endif()
set(prefix "${WORK_DIR}/prefix")

include(${CMAKE_CURRENT_LIST_DIR}/check_steps.cmake)

set(compiler "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}"
             "-DCMAKE_SHARED_LINKER_FLAGS=${LINKER_FLAGS}")
if(TOOLCHAIN_FILE)
    list(APPEND compiler "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE}")
else()
    list(APPEND compiler "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}")
endif()

function(build_package_consumer)
    # A cross build's find root would move the prefix under the SDK: name the package's folder.
    run(${CMAKE_COMMAND} -S "${CONSUMER_DIR}" -B "${WORK_DIR}/build" -G Ninja "-DCMAKE_PREFIX_PATH=${prefix}"
        "-DTavrin_DIR=${prefix}/lib/cmake/Tavrin" ${compiler})
    run(${CMAKE_COMMAND} --build "${WORK_DIR}/build")
    set(clients "${WORK_DIR}/build/core_consumer${SUFFIX}" "${WORK_DIR}/build/window_consumer${SUFFIX}" PARENT_SCOPE)
endfunction()

if(WAY STREQUAL "package")
    run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
    build_package_consumer()
elseif(WAY STREQUAL "pkg-config")
    run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
    set(ENV{PKG_CONFIG_PATH} "${prefix}/lib/pkgconfig")
    set(ENV{LD_LIBRARY_PATH} "${prefix}/lib") # where shared libraries were installed
    separate_arguments(flags UNIX_COMMAND "${CXX_FLAGS} ${LINKER_FLAGS}")
    foreach(client core window)
        set(package tavrin-widgets)
        if(client STREQUAL "core")
            set(package tavrin-channel-list)
        endif()
        run(pkg-config --cflags --libs ${package})
        separate_arguments(packageFlags UNIX_COMMAND "${output}")
        file(MAKE_DIRECTORY "${WORK_DIR}/build")
        run(${CXX_COMPILER} -std=c++20 -fPIC ${flags} "${CONSUMER_DIR}/${client}_consumer.cpp" ${packageFlags}
            -o "${WORK_DIR}/build/${client}_consumer")
    endforeach()
    set(clients "${WORK_DIR}/build/core_consumer" "${WORK_DIR}/build/window_consumer")
elseif(WAY STREQUAL "subproject")
    run(${CMAKE_COMMAND} -S "${CONSUMER_DIR}/subproject" -B "${WORK_DIR}/build" -G Ninja
        "-DTAVRIN_SOURCE_DIR=${SOURCE_DIR}" ${compiler})
    file(READ "${WORK_DIR}/build/CMakeCache.txt" cache)
    if(cache MATCHES "GTEST_INCLUDE_DIR|GTest_DIR|benchmark_DIR")
        message(FATAL_ERROR "As a subproject it looked for GoogleTest or Google Benchmark.")
    endif()
    run(${CMAKE_CTEST_COMMAND} -N --test-dir "${WORK_DIR}/build")
    if(NOT output MATCHES "Total Tests: 0")
        message(FATAL_ERROR "As a subproject it registered tests:\n${output}")
    endif()
    run(${CMAKE_COMMAND} --build "${WORK_DIR}/build" --target core_consumer window_consumer)
    set(clients "${WORK_DIR}/build/core_consumer${SUFFIX}" "${WORK_DIR}/build/window_consumer${SUFFIX}")
elseif(WAY STREQUAL "shared")
    run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/shared" -G Ninja -DCMAKE_BUILD_TYPE=Release
        -DBUILD_SHARED_LIBS=ON -DTAVRIN_INSTALL=ON -DTAVRIN_BUILD_PROGRAM=OFF -DTAVRIN_BUILD_EXAMPLES=OFF
        -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCHMARKS=OFF -DTAVRIN_BUILD_PACKAGE=OFF ${compiler})
    run(${CMAKE_COMMAND} --build "${WORK_DIR}/shared")
    run(${CMAKE_COMMAND} --install "${WORK_DIR}/shared" --prefix "${prefix}")
    foreach(library tavrin_channel_list tavrin_widgets)
        if(WINDOWS)
            # A DLL exports what its import library names.
            set(file "${prefix}/lib/lib${library}.dll.a")
            if(NOT EXISTS "${prefix}/bin/lib${library}.dll")
                message(FATAL_ERROR "${prefix}/bin holds no lib${library}.dll")
            endif()
            run(${NM} -C --defined-only "${file}")
        else()
            set(file "${prefix}/lib/lib${library}.so.1")
            run(readelf -d "${file}")
            if(NOT output MATCHES "SONAME\\)[^\n]*\\[lib${library}\\.so\\.1\\]")
                message(FATAL_ERROR "${file} has no SONAME lib${library}.so.1:\n${output}")
            endif()
            # Every symbol a client may have linked to is still there.
            run(nm -D --defined-only --format=posix "${file}")
            string(REGEX MATCHALL "(^|\n)[^ \n]+" exported "${output}")
            string(REGEX REPLACE "\n" "" exported "${exported}")
            file(STRINGS "${CONSUMER_DIR}/../symbols/lib${library}.symbols" recorded REGEX "^[^#]")
            set(gone "")
            foreach(symbol IN LISTS recorded)
                if(NOT symbol IN_LIST exported)
                    string(APPEND gone "  ${symbol}\n")
                endif()
            endforeach()
            if(gone)
                message(FATAL_ERROR "${file} no longer exports:\n${gone}")
            endif()
            # And it exports nothing else: no symbol of the standard library's or Qt's, nor an
            # internal one. A new symbol of the project's own API is recorded there.
            set(unrecorded "")
            foreach(symbol IN LISTS exported)
                if(NOT symbol IN_LIST recorded)
                    string(APPEND unrecorded "  ${symbol}\n")
                endif()
            endforeach()
            if(unrecorded)
                message(FATAL_ERROR "${file} exports what tests/symbols/lib${library}.symbols does not record:\n"
                                    "${unrecorded}")
            endif()
            run(nm -DC --defined-only "${file}")
        endif()
        if(output MATCHES "OrderedSlots|ShownSlots|RankOrder|ChanSaveList::Store|UniformRowListView|MembersDelegate|icu_|u_tolower")
            message(FATAL_ERROR "${file} exports its internals:\n${CMAKE_MATCH_0}")
        endif()
    endforeach()
    # The clients find the DLLs where they were installed.
    if(WINDOWS AND EMULATOR)
        string(REPLACE "/" "\\" dllDir "Z:${prefix}/bin")
        set(ENV{WINEPATH} "${dllDir}")
    elseif(WINDOWS)
        set(ENV{PATH} "${prefix}/bin;$ENV{PATH}")
    endif()
    build_package_consumer()
else()
    message(FATAL_ERROR "Unknown way: ${WAY}")
endif()

foreach(client IN LISTS clients)
    run(${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${EMULATOR} "${client}")
endforeach()
