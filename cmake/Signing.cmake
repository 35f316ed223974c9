# zek_sign_module(target): in a Release build configured with a certificate and its key in
# the environment (ZEK_SIGN_CERT, ZEK_SIGN_KEY: file paths; ZEK_SIGN_PASSWORD_FILE: a file
# holding the key's password, if it has one), signs the module with Authenticode as soon as it
# is linked, so that the tests run against the signed module and the package is made from it.
# Sets ZEK_SIGNED (ON or OFF) in the caller's scope. The environment is read when configuring.
function(zek_sign_module target)
    set(ZEK_SIGNED OFF PARENT_SCOPE)
    if(NOT CMAKE_BUILD_TYPE STREQUAL "Release")
        return()
    endif()
    if(NOT DEFINED ENV{ZEK_SIGN_CERT} OR NOT DEFINED ENV{ZEK_SIGN_KEY})
        message(STATUS "${target}: unsigned (ZEK_SIGN_CERT and ZEK_SIGN_KEY are not set)")
        return()
    endif()
    find_program(ZEK_OSSLSIGNCODE osslsigncode REQUIRED)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DOSSLSIGNCODE=${ZEK_OSSLSIGNCODE} -DDLL=$<TARGET_FILE:${target}>
                "-DCERT=$ENV{ZEK_SIGN_CERT}" "-DKEY=$ENV{ZEK_SIGN_KEY}"
                "-DPASSWORD_FILE=$ENV{ZEK_SIGN_PASSWORD_FILE}" -DEPOCH=${ZEK_SOURCE_DATE_EPOCH}
                -P ${PROJECT_SOURCE_DIR}/package/SignDll.cmake
        VERBATIM)
    message(STATUS "${target}: signed with $ENV{ZEK_SIGN_CERT}")
    set(ZEK_SIGNED ON PARENT_SCOPE)
endfunction()
