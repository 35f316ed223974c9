# Unpacks the release zip and checks what a script author receives: exactly the expected files,
# their SHA256SUMS, the DLL that the tests ran against, its imports and exports, its version
# resource, no symbols or debug sections, its size, its signature (there when the build signs),
# third-party notices that cover every third-party file the link map shows in the DLL, and a
# bill of materials that agrees with the DLL and its imports.
#   cmake -DZIP=... -DDLL=... -DVERSION=... -DEXAMPLES=... -DWORK=... -DOBJDUMP=... -DWINDRES=...
#         -DCHECK_IMPORTS=.../CheckDllImports.cmake -DMAP=... -DBUILD_DIR=... -DSIGNED=ON|OFF
#         -P CheckPackage.cmake
cmake_minimum_required(VERSION 3.25)
set(size_limit 300000)

set(errors "")
macro(fail message)
    string(APPEND errors "  ${message}\n")
endmacro()

if(NOT EXISTS "${ZIP}")
    message(FATAL_ERROR "no package ${ZIP}: the test \"package\" builds it")
endif()
file(READ "${ZIP}.sha256" zip_sum_line)
file(SHA256 "${ZIP}" zip_sum)
get_filename_component(zip_name "${ZIP}" NAME)
if(NOT zip_sum_line STREQUAL "${zip_sum}  ${zip_name}\n")
    fail("${zip_name}.sha256 does not match the zip")
endif()

file(REMOVE_RECURSE "${WORK}")
file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${WORK}")
string(REGEX REPLACE "\\.zip$" "" root_name "${zip_name}")
set(root "${WORK}/${root_name}")
if(NOT IS_DIRECTORY "${root}")
    message(FATAL_ERROR "the zip does not unpack into ${root_name}/")
endif()

# Exactly these files, nothing more.
file(GLOB example_names RELATIVE "${EXAMPLES}" "${EXAMPLES}/*.zek")
list(TRANSFORM example_names PREPEND "examples/" OUTPUT_VARIABLE example_paths)
set(expected README.md SHA256SUMS THIRD-PARTY-NOTICES.txt reference.md status-codes.md
             zxvto38r.dll zxvto38r.spdx.json ${example_paths})
list(SORT expected)
file(GLOB_RECURSE found RELATIVE "${root}" "${root}/*")
list(SORT found)
if(NOT found STREQUAL expected)
    fail("files: ${found}\n  expected: ${expected}")
endif()
if(NOT example_paths)
    fail("no example scripts in ${EXAMPLES}")
endif()

# SHA256SUMS names every other file once, with its hash.
file(STRINGS "${root}/SHA256SUMS" sum_lines)
set(summed "")
foreach(line ${sum_lines})
    if(line MATCHES "^([0-9a-f]+)  (.+)$")
        set(name "${CMAKE_MATCH_2}")
        set(listed "${CMAKE_MATCH_1}")
        set(actual "")
        if(EXISTS "${root}/${name}")
            file(SHA256 "${root}/${name}" actual)
        endif()
        if(NOT listed STREQUAL actual)
            fail("SHA256SUMS: wrong hash for ${name}")
        endif()
        list(APPEND summed "${name}")
    else()
        fail("SHA256SUMS: malformed line '${line}'")
    endif()
endforeach()
set(unsummed ${expected})
list(REMOVE_ITEM unsummed SHA256SUMS)
if(NOT summed STREQUAL unsummed)
    fail("SHA256SUMS lists ${summed}, expected ${unsummed}")
endif()

# The DLL is the one the tests ran against.
set(dll "${root}/zxvto38r.dll")
file(SHA256 "${dll}" packaged)
file(SHA256 "${DLL}" tested)
if(NOT packaged STREQUAL tested)
    fail("the packaged DLL is not ${DLL}")
endif()

file(SIZE "${dll}" size)
message(STATUS "zxvto38r.dll: ${size} bytes")
if(size GREATER size_limit)
    fail("zxvto38r.dll is ${size} bytes, more than ${size_limit}")
endif()

# Imports and exports, by name.
set(DLL "${dll}")
include("${CHECK_IMPORTS}")

# Stripped: no symbol table, no debug sections.
execute_process(COMMAND ${OBJDUMP} -h -t "${dll}" OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
if(headers MATCHES "\\.debug")
    fail("zxvto38r.dll has debug sections")
endif()
if(NOT headers MATCHES "SYMBOL TABLE:\nno symbols")
    fail("zxvto38r.dll has a symbol table")
endif()

# The version resource, as the resource compiler reads it back.
execute_process(COMMAND ${WINDRES} -i "${dll}" -J coff -O rc OUTPUT_VARIABLE rc
                COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "." ", " numbers "${VERSION}")
foreach(line
        "FILEVERSION ${numbers}\n"
        "PRODUCTVERSION ${numbers}\n"
        "FILEOS 0x40004\n"
        "FILETYPE 0x2\n"
        "BLOCK \"040904b0\"\n"
        "VALUE \"ProductVersion\", \"${VERSION}\"\n"
        "VALUE \"Translation\", 0x409, 1200\n")
    string(FIND "${rc}" "${line}" at)
    string(STRIP "${line}" shown)
    if(at EQUAL -1)
        fail("version resource lacks: ${shown}")
    endif()
endforeach()

# Signed exactly when the build was given a certificate: the certificate table's size.
execute_process(COMMAND ${OBJDUMP} -p "${dll}" OUTPUT_VARIABLE dump COMMAND_ERROR_IS_FATAL ANY)
set(signed OFF)
if(dump MATCHES "Entry 4 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Security Directory")
    set(signed ON)
endif()
if(NOT signed STREQUAL SIGNED)
    fail("zxvto38r.dll signed: ${signed}, expected ${SIGNED}")
endif()

# Every third-party file of the link map is named in the notices (a "Linked in:" line).
include(${CMAKE_CURRENT_LIST_DIR}/LinkedParts.cmake)
file(REAL_PATH "${BUILD_DIR}" BUILD_DIR)
zek_linked_files("${MAP}" "${BUILD_DIR}" linked)
set(notices "")
if(EXISTS "${root}/THIRD-PARTY-NOTICES.txt")
    file(READ "${root}/THIRD-PARTY-NOTICES.txt" notices)
endif()
zek_debian_packages(${linked})
set(owners "")
foreach(path IN LISTS linked)
    string(FIND "${notices}" "\n    Linked in: ${path}\n" at)
    if(at EQUAL -1)
        fail("THIRD-PARTY-NOTICES.txt does not cover ${path}, linked into the DLL")
    endif()
    list(APPEND owners "${package_${path}} ${version_${path}}")
endforeach()
list(REMOVE_DUPLICATES owners)
list(SORT owners)
if(NOT linked)
    fail("the link map ${MAP} shows no third-party file")
endif()

# The bill of materials: this DLL, its version and hash; statically linked, the packages those
# files came with; dynamically linked, exactly the DLLs that its import table names.
set(sbom "{}")
if(EXISTS "${root}/zxvto38r.spdx.json")
    file(READ "${root}/zxvto38r.spdx.json" sbom)
endif()
# json_get(OUT KEY...): the value, or empty where the document lacks it.
function(json_get out)
    string(JSON value ERROR_VARIABLE missing GET "${sbom}" ${ARGN})
    if(missing)
        set(value "")
    endif()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()
function(json_indices out array)
    string(JSON count ERROR_VARIABLE missing LENGTH "${sbom}" ${array})
    set(indices "")
    if(NOT missing AND count GREATER 0)
        math(EXPR last "${count} - 1")
        foreach(i RANGE ${last})
            list(APPEND indices ${i})
        endforeach()
    endif()
    set(${out} "${indices}" PARENT_SCOPE)
endfunction()
json_indices(indices packages)
foreach(i IN LISTS indices)
    json_get(id packages ${i} SPDXID)
    json_get(name_${id} packages ${i} name)
    json_get(version_${id} packages ${i} versionInfo)
endforeach()
set(static "")
set(dynamic "")
json_indices(indices relationships)
foreach(i IN LISTS indices)
    json_get(from relationships ${i} spdxElementId)
    json_get(type relationships ${i} relationshipType)
    json_get(to relationships ${i} relatedSpdxElement)
    if(from STREQUAL "SPDXRef-zxvto38r" AND type STREQUAL "STATIC_LINK")
        list(APPEND static "${name_${to}} ${version_${to}}")
    elseif(from STREQUAL "SPDXRef-zxvto38r" AND type STREQUAL "DYNAMIC_LINK")
        list(APPEND dynamic "${name_${to}}")
    endif()
endforeach()
list(SORT static)
list(SORT dynamic CASE INSENSITIVE)
zek_dll_imports("${OBJDUMP}" "${dll}" imports)
if(NOT static STREQUAL owners)
    fail("zxvto38r.spdx.json links statically: ${static}\n  the link map: ${owners}")
endif()
if(NOT dynamic STREQUAL imports)
    fail("zxvto38r.spdx.json imports: ${dynamic}\n  the DLL: ${imports}")
endif()
file(SHA256 "${dll}" dll_sum)
json_get(dll_listed packages 0 checksums 0 checksumValue)
set(described "${name_SPDXRef-zxvto38r} ${version_SPDXRef-zxvto38r} ${dll_listed}")
if(NOT described STREQUAL "zxvto38r.dll ${VERSION} ${dll_sum}")
    fail("zxvto38r.spdx.json describes ${described}")
endif()

if(errors)
    message(FATAL_ERROR "${zip_name}:\n${errors}")
endif()
message(STATUS "${zip_name}: contents, checksums, DLL, version resource, notices and bill of "
               "materials as expected; signed: ${signed}")
