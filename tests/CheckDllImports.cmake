# Checks the DLL's import and export tables: only Windows system DLLs are imported (no
# property-system library, no MinGW runtime), and exactly the three entry points are exported.
#   cmake -DOBJDUMP=... -DDLL=... -P CheckDllImports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(line ${imports})
    string(REPLACE "DLL Name: " "" name "${line}")
    string(TOLOWER "${name}" name)
    message(STATUS "imports ${name}")
    if(name MATCHES "^(propsys|shell32)\\.dll$" OR name MATCHES "^(libstdc|libgcc|libwinpthread)")
        message(FATAL_ERROR "the DLL must not import ${name}")
    endif()
endforeach()

# The export names follow "[Ordinal/Name Pointer] Table", one "[   n] Name" line each.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]*\\[ *[0-9]+\\] [^\n]+\n)*)" table
       "${dump}")
string(REGEX MATCHALL "\\] [^\n]+" exports "${CMAKE_MATCH_1}")
string(REPLACE "] " "" exports "${exports}")
list(SORT exports)
message(STATUS "exports ${exports}")
if(NOT exports STREQUAL "DllMain;ZEKExtender2W;ZEKExtenderQueryW")
    message(FATAL_ERROR "unexpected exports: ${exports}")
endif()
