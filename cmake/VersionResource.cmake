# zek_add_version_resource(target rcfile): gives a module its version resource.
#
# Windows: the .rc file is compiled by the resource compiler and linked as usual.
# Elsewhere: windres compiles it to a .res file (the same records that a Windows module
# carries), and an assembler stub embeds those bytes in the section ".zekversion" of the
# module, where the platform layer's GetFileVersionInfoW finds them.
if(WIN32)
    enable_language(RC)
else()
    enable_language(ASM)
    find_program(ZEK_WINDRES x86_64-w64-mingw32-windres REQUIRED)
endif()

function(zek_add_version_resource target rcfile)
    get_filename_component(rc ${rcfile} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(WIN32)
        target_sources(${target} PRIVATE ${rc})
        return()
    endif()

    set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.res)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.S)
    get_filename_component(rcdir ${rc} DIRECTORY)
    add_custom_command(
        OUTPUT ${res}
        COMMAND ${ZEK_WINDRES} -O res -I ${rcdir} ${rc} ${res}
        DEPENDS ${rc}
        COMMENT "Compiling version resource ${rcfile} for ${target}"
        VERBATIM)
    # Allocated, so that stripping the module keeps it; 4-aligned, as .res records are.
    file(CONFIGURE OUTPUT ${stub} CONTENT [[
    .section .zekversion,"a",@progbits
    .balign 4
    .incbin "@res@"
    .section .note.GNU-stack,"",@progbits
]] @ONLY)
    set_source_files_properties(${stub} PROPERTIES OBJECT_DEPENDS ${res})
    # Listed as a source (not compiled) so that the target runs the custom command.
    set_source_files_properties(${res} PROPERTIES HEADER_FILE_ONLY TRUE)
    target_sources(${target} PRIVATE ${stub} ${res})
endfunction()
