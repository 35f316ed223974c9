# Tests run natively on Linux and under Wine for the Windows build. Under Wine every test
# process shares one private prefix and one wineserver, started by a fixture.
if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(ZEK_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(ZEK_STANDIN_BIN ${CMAKE_BINARY_DIR}/bin)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                   @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                   GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
    set(ZEK_UNDER_WINE ON)
endif()

set(ZEK_WINE_FIXTURE_ADDED OFF)

# zek_add_test(NAME name COMMAND ... [ENVIRONMENT ...]): a test on the build's platform.
# COMMAND naming an executable target runs it under Wine for the Windows build.
function(zek_add_test)
    cmake_parse_arguments(ARG "" "NAME" "COMMAND;ENVIRONMENT" ${ARGN})
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_COMMAND})
    if(ARG_ENVIRONMENT)
        set_tests_properties(${ARG_NAME} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
    endif()
    if(ZEK_UNDER_WINE)
        if(NOT TARGET zek_wine_fixture_marker)
            add_custom_target(zek_wine_fixture_marker)
            add_test(NAME wine_start COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh --start)
            add_test(NAME wine_stop COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh --stop)
            set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine)
            set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)
        endif()
        set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED wine)
    endif()
endfunction()

# zek_precompile_platform(target): the platform's headers and the common standard ones parsed
# once for the target instead of once per file. Under MinGW those are the Windows SDK's, most of
# the time each file takes to compile. The code is the same: the release DLL comes out byte for
# byte as without them.
function(zek_precompile_platform target)
    target_precompile_headers(${target} PRIVATE [["platform/platform.h"]] <algorithm> <cstdint>
                              <cstring> <map> <string> <string_view> <vector>)
endfunction()

# zek_test_component(target [HEADERS_FROM other]): a program that drives the extender in tests
# (the host, the benchmarks). On Windows, where their flags are the same, it may share another
# such target's precompiled headers; elsewhere a library compiles position-independent and a
# program not, which a precompiled header must match, so each has its own. In a Windows build
# with tests only the tests run it and nothing times it, so it compiles unoptimised; a build
# without tests (bench-windows) keeps the optimisation, and so does Linux, where the
# instruction budgets were taken. Not the stand-in: unoptimised, it costs the benchmarks' smoke
# run more than it saves the build.
function(zek_test_component target)
    cmake_parse_arguments(ARG "" "HEADERS_FROM" "" ${ARGN})
    if(ARG_HEADERS_FROM AND WIN32)
        target_precompile_headers(${target} REUSE_FROM ${ARG_HEADERS_FROM})
    else()
        zek_precompile_platform(${target})
    endif()
    if(WIN32 AND ZEK_BUILD_TESTS AND NOT MSVC)
        target_compile_options(${target} PRIVATE -O0)
    endif()
endfunction()
