# ZEK_SOURCE_DATE_EPOCH: the one time every time stamp of a Windows build derives from, so that
# the same commit builds the same bytes anywhere, at any time. SOURCE_DATE_EPOCH when the
# environment sets it (a rebuilder's choice); else the commit's time; else, outside a git
# checkout, 1980-01-01 (the earliest time a zip entry can hold).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ZEK_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    find_package(Git QUIET)
    set(ZEK_SOURCE_DATE_EPOCH "")
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE ZEK_SOURCE_DATE_EPOCH
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        # A new commit must reconfigure, so that the link command (and so the DLL) carries its
        # time; HEAD's log changes with every commit, checkout and reset.
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --absolute-git-dir
                        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE git_dir
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        foreach(file logs/HEAD HEAD)
            if(git_dir AND EXISTS ${git_dir}/${file})
                set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY
                             CMAKE_CONFIGURE_DEPENDS ${git_dir}/${file})
                break()
            endif()
        endforeach()
    endif()
    if(NOT ZEK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        message(WARNING "no commit time (not a git checkout?): time stamps are 1980-01-01; "
                        "set SOURCE_DATE_EPOCH to choose")
        set(ZEK_SOURCE_DATE_EPOCH 315532800)
    endif()
endif()
if(NOT ZEK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a number of seconds: ${ZEK_SOURCE_DATE_EPOCH}")
endif()

# zek_reproducible_module(target [object-library...]): links the module with its PE time
# stamps (file header and export directory) set to the epoch, and writes its link map beside
# it (<target>.map in the build folder), where the package finds what the linker took in. Its
# code (and that of the object libraries it is made of) is compiled with no path of the build
# machine in it, whatever the code says of itself.
function(zek_reproducible_module target)
    set(map ${CMAKE_BINARY_DIR}/${target}.map)
    set_target_properties(${target} PROPERTIES
        CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;SOURCE_DATE_EPOCH=${ZEK_SOURCE_DATE_EPOCH}"
        ZEK_LINK_MAP ${map})
    target_link_options(${target} PRIVATE -Wl,-Map=${map})
    foreach(compiled ${target} ${ARGN})
        target_compile_options(${compiled} PRIVATE
            "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
            "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
    endforeach()
endfunction()
