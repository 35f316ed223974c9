# Build step: from the link map and the import table of zxvto38r.dll, writes the
# THIRD-PARTY-NOTICES.txt and the SPDX bill of materials (zxvto38r.spdx.json) that the package
# ships. Each third-party file the linker took code from is named under its component (from
# ThirdParty.cmake) with the installed Debian package it came with, whose copyright file follows.
#   cmake -DMAP=... -DBUILD_DIR=... -DDLL=... -DOBJDUMP=... -DVERSION=... -DEPOCH=...
#         -DCOMPILER=... -DLINKER=... -DNOTICES=... -DSBOM=... -P WriteNotices.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/ThirdParty.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/LinkedParts.cmake)

file(REAL_PATH "${BUILD_DIR}" BUILD_DIR)
zek_linked_files("${MAP}" "${BUILD_DIR}" linked)
file(REAL_PATH "${COMPILER}" COMPILER)
file(REAL_PATH "${LINKER}" LINKER)
zek_debian_packages(${linked} ${COMPILER} ${LINKER})

# Components in the table's order, each with its files and packages.
set(sections "")
set(packages "")
set(uncovered "")
foreach(path IN LISTS linked)
    get_filename_component(name "${path}" NAME)
    set(found OFF)
    set(index 0)
    foreach(entry IN LISTS ZEK_THIRD_PARTY)
        string(REGEX MATCH "^(.*) \\| (.*) \\| (.*)$" _ "${entry}")
        set(licence "${CMAKE_MATCH_3}")
        if(name MATCHES "${CMAKE_MATCH_1}")
            set(found ON)
            break()
        endif()
        math(EXPR index "${index} + 1")
    endforeach()
    if(NOT found)
        list(APPEND uncovered "${path}")
        continue()
    endif()
    set(package ${package_${path}})
    set(version "${version_${path}}")
    list(APPEND sections ${index})
    list(APPEND files_${index} "${path}")
    list(APPEND packages_${index} "${package} ${version}")
    list(APPEND packages "${package}")
    set(version_${package} "${version}")
    list(APPEND licences_${package} "${licence}")
endforeach()
if(uncovered)
    message(WARNING "ThirdParty.cmake does not cover ${uncovered}: the notices leave it out")
endif()
list(REMOVE_DUPLICATES sections)
list(SORT sections COMPARE NATURAL)
list(REMOVE_DUPLICATES packages)
list(SORT packages)

set(text "Third-party notices for zxvto38r.dll ${VERSION}\n\n")
string(APPEND text
"zxvto38r.dll is linked statically: it carries parts of its compiler's runtime libraries\n"
"inside it. The link map of this very build names each file the linker took code from; each\n"
"is listed below under its component, with the component's licence and the Debian package it\n"
"was installed from. The copyright files of those packages follow, unchanged.\n")
set(number 0)
foreach(index IN LISTS sections)
    math(EXPR number "${number} + 1")
    list(GET ZEK_THIRD_PARTY ${index} entry)
    string(REGEX MATCH "^(.*) \\| (.*) \\| (.*)$" _ "${entry}")
    list(REMOVE_DUPLICATES packages_${index})
    list(JOIN packages_${index} ", " from)
    string(APPEND text "\n[${number}] ${CMAKE_MATCH_2}\n    Licence: ${CMAKE_MATCH_3}\n"
                       "    Debian package: ${from}\n")
    foreach(path IN LISTS files_${index})
        string(APPEND text "    Linked in: ${path}\n")
    endforeach()
endforeach()

# Each distinct copyright file once, with the packages that carry it.
set(rule "================================================================================")
set(digests "")
foreach(package IN LISTS packages)
    set(copyright /usr/share/doc/${package}/copyright)
    if(NOT EXISTS ${copyright})
        message(FATAL_ERROR "${package} has no ${copyright}")
    endif()
    file(SHA256 ${copyright} digest)
    list(APPEND digests ${digest})
    list(APPEND carriers_${digest} ${package})
    set(copyright_${digest} ${copyright})
endforeach()
list(REMOVE_DUPLICATES digests)
foreach(digest IN LISTS digests)
    list(JOIN carriers_${digest} ", " names)
    file(READ ${copyright_${digest}} body)
    string(APPEND text "\n${rule}\nCopyright file of ${names}\n(${copyright_${digest}})\n${rule}\n\n${body}")
endforeach()
foreach(entry IN LISTS ZEK_THIRD_PARTY_TEXTS)
    string(REGEX MATCH "^(.*) \\| (.*)$" _ "${entry}")
    if(text MATCHES "${CMAKE_MATCH_1}")
        file(READ "${CMAKE_MATCH_2}" body)
        string(APPEND text "\n${rule}\n${CMAKE_MATCH_1}, as the above refers to it\n"
                           "(${CMAKE_MATCH_2})\n${rule}\n\n${body}")
    endif()
endforeach()
file(WRITE "${NOTICES}" "${text}")

# The bill of materials (SPDX 2.3): the DLL, the packages linked into it, the tools that built
# it and the system DLLs it imports. Its time and name derive from the commit and the DLL alone.
function(spdx_id text out)
    string(REGEX REPLACE "[^A-Za-z0-9.-]" "-" id "${text}")
    set(${out} "SPDXRef-${id}" PARENT_SCOPE)
endfunction()
macro(append array value)
    string(JSON length LENGTH "${doc}" ${array})
    string(JSON doc SET "${doc}" ${array} ${length} "${value}")
endmacro()
macro(relate from type to)
    append(relationships
        "{\"spdxElementId\": \"${from}\", \"relationshipType\": \"${type}\", \"relatedSpdxElement\": \"${to}\"}")
endmacro()
macro(debian_package package purpose)
    spdx_id("deb-${package}" id)
    string(REPLACE "+" "%2B" purl "pkg:deb/debian/${package}@${version_${package}}")
    # What was concluded for the parts linked in, not all that the package holds.
    set(licence NOASSERTION)
    if(licences_${package})
        list(REMOVE_DUPLICATES licences_${package})
        list(LENGTH licences_${package} count)
        list(JOIN licences_${package} ") AND (" licence)
        if(count GREATER 1)
            set(licence "(${licence})")
        endif()
    endif()
    append(packages "{\"SPDXID\": \"${id}\", \"name\": \"${package}\",
        \"versionInfo\": \"${version_${package}}\", \"supplier\": \"Organization: Debian\",
        \"downloadLocation\": \"NOASSERTION\", \"filesAnalyzed\": false,
        \"licenseConcluded\": \"${licence}\", \"primaryPackagePurpose\": \"${purpose}\",
        \"externalRefs\": [{\"referenceCategory\": \"PACKAGE-MANAGER\",
            \"referenceType\": \"purl\", \"referenceLocator\": \"${purl}\"}]}")
endmacro()

file(SHA256 "${DLL}" dll_sum)
set(ENV{SOURCE_DATE_EPOCH} "${EPOCH}")
string(TIMESTAMP created "%Y-%m-%dT%H:%M:%SZ" UTC)
set(doc "{\"spdxVersion\": \"SPDX-2.3\", \"dataLicense\": \"CC0-1.0\",
    \"SPDXID\": \"SPDXRef-DOCUMENT\", \"name\": \"zxvto38r.dll ${VERSION}\",
    \"documentNamespace\": \"https://spdx.org/spdxdocs/zxvto38r-${VERSION}-${dll_sum}\",
    \"creationInfo\": {\"created\": \"${created}\",
        \"creators\": [\"Organization: Vantoro\", \"Tool: zxvto38r package/WriteNotices.cmake\"]},
    \"packages\": [{\"SPDXID\": \"SPDXRef-zxvto38r\", \"name\": \"zxvto38r.dll\",
        \"versionInfo\": \"${VERSION}\", \"supplier\": \"Organization: Vantoro\",
        \"downloadLocation\": \"NOASSERTION\", \"filesAnalyzed\": false,
        \"primaryPackagePurpose\": \"LIBRARY\",
        \"checksums\": [{\"algorithm\": \"SHA256\", \"checksumValue\": \"${dll_sum}\"}]}],
    \"hasExtractedLicensingInfos\": [{\"licenseId\": \"LicenseRef-public-domain\",
        \"name\": \"public domain\", \"extractedText\": \"In the public domain: see THIRD-PARTY-NOTICES.txt.\"}],
    \"relationships\": []}")
relate(SPDXRef-DOCUMENT DESCRIBES SPDXRef-zxvto38r)
foreach(package IN LISTS packages)
    debian_package(${package} LIBRARY)
    relate(SPDXRef-zxvto38r STATIC_LINK ${id})
endforeach()
foreach(tool IN ITEMS "${COMPILER}" "${LINKER}")
    set(package ${package_${tool}})
    set(version_${package} "${version_${tool}}")
    if(NOT package IN_LIST packages)
        debian_package(${package} APPLICATION)
    else()
        spdx_id("deb-${package}" id)
    endif()
    relate(${id} BUILD_TOOL_OF SPDXRef-zxvto38r)
endforeach()
zek_dll_imports("${OBJDUMP}" "${DLL}" imports)
foreach(name IN LISTS imports)
    spdx_id("dll-${name}" id)
    append(packages "{\"SPDXID\": \"${id}\", \"name\": \"${name}\",
        \"supplier\": \"Organization: Microsoft\", \"downloadLocation\": \"NOASSERTION\",
        \"filesAnalyzed\": false, \"primaryPackagePurpose\": \"OPERATING-SYSTEM\",
        \"comment\": \"Windows system DLL, imported by name\"}")
    relate(SPDXRef-zxvto38r DYNAMIC_LINK ${id})
endforeach()
file(WRITE "${SBOM}" "${doc}\n")
