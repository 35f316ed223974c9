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
    string(REGEX MATCHALL "\nLOAD /[^\n]+\\.o\n" objects "${text}")
    set(files "")
    foreach(line IN LISTS archives objects)
        string(REGEX REPLACE "^\nLOAD |^\n|\\($|\n$" "" path "${line}")
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

# zek_debian_package(FILE OUT_NAME OUT_VERSION): the installed Debian package FILE came with.
function(zek_debian_package file out_name out_version)
    execute_process(COMMAND dpkg-query -S "${file}" OUTPUT_VARIABLE owner
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(failed OR NOT owner MATCHES "^([^:, ]+)(:[a-z0-9]+)?: ")
        message(FATAL_ERROR "no installed Debian package holds ${file}")
    endif()
    set(name "${CMAKE_MATCH_1}")
    execute_process(COMMAND dpkg-query -W -f=\${Version} ${name} OUTPUT_VARIABLE version
                    COMMAND_ERROR_IS_FATAL ANY)
    set(${out_name} "${name}" PARENT_SCOPE)
    set(${out_version} "${version}" PARENT_SCOPE)
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
