# What the link map and the import table say about zxvto38r.dll, for the script that writes
# its notices and bill of materials and for the package check that holds them to it.

# zek_linked_files(MAP BUILD_DIR OUT): the third-party files the linker took code from, sorted:
# each archive that gave members and each object file loaded from outside the build.
function(zek_linked_files map build_dir out)
    file(READ "${map}" text)
    string(FIND "${text}" "Archive member included" start)
    string(FIND "${text}" "\nMemory Configuration" end)
    if(start EQUAL -1 OR end EQUAL -1)
        message(FATAL_ERROR "${map} is no link map of GNU ld")
    endif()
    math(EXPR length "${end} - ${start}")
    string(SUBSTRING "${text}" ${start} ${length} members)
    string(REGEX MATCHALL "\n/[^(\n]+\\.a\\(" archives "${members}")
    string(REGEX MATCHALL "LOAD /[^\n]+\\.o\n" objects "${text}")
    set(files "")
    foreach(line IN LISTS archives objects)
        string(REGEX REPLACE "^LOAD |^\n|\\($|\n$" "" path "${line}")
        file(REAL_PATH "${path}" path)
        string(FIND "${path}" "${build_dir}/" in_build)
        if(NOT in_build EQUAL 0)
            list(APPEND files "${path}")
        endif()
    endforeach()
    list(REMOVE_DUPLICATES files)
    list(SORT files)
    set(${out} "${files}" PARENT_SCOPE)
endfunction()

# zek_debian_packages(FILES...): for each file, package_<file> and version_<file> in the
# caller's scope: the installed Debian package it came with (one dpkg-query for all: each call
# reads the whole package database).
function(zek_debian_packages)
    execute_process(COMMAND dpkg-query -S ${ARGN} OUTPUT_VARIABLE owners RESULT_VARIABLE failed)
    string(REPLACE "\n" ";" owners "${owners}")
    set(names "")
    foreach(line IN LISTS owners)
        # "package[:arch][, package...]: path"; a diversion line starts "diversion by".
        if(line MATCHES "^([^:, ]+)(:[a-z0-9]+)?[^:]*: (/.*)$")
            set(package_${CMAKE_MATCH_3} ${CMAKE_MATCH_1})
            list(APPEND names ${CMAKE_MATCH_1})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES names)
    execute_process(COMMAND dpkg-query -W "-f=\${Package} \${Version}\n" ${names}
                    OUTPUT_VARIABLE versions COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\n" ";" versions "${versions}")
    foreach(line IN LISTS versions)
        if(line MATCHES "^([^ ]+) (.+)$")
            set(version_of_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
        endif()
    endforeach()
    foreach(file IN LISTS ARGN)
        if(NOT package_${file})
            message(FATAL_ERROR "no installed Debian package holds ${file}")
        endif()
        set(package_${file} ${package_${file}} PARENT_SCOPE)
        set(version_${file} "${version_of_${package_${file}}}" PARENT_SCOPE)
    endforeach()
endfunction()

# zek_dll_imports(OBJDUMP DLL OUT): the names of the DLLs it imports, as the import table
# spells them, sorted.
function(zek_dll_imports objdump dll out)
    execute_process(COMMAND ${objdump} -p "${dll}" OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
    list(TRANSFORM lines REPLACE "^DLL Name: " "")
    list(SORT lines CASE INSENSITIVE)
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()
