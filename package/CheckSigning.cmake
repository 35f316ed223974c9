# The signing path of the release, with a throw-away self-signed certificate made here: signs a
# copy of the DLL as a release build with a certificate does (SignDll.cmake), checks that the
# signature verifies (and that the unsigned DLL does not), then runs the handshake and the
# README's example through the reference host under Wine against the signed DLL.
#   cmake -DBIN=<build>/bin -DWORK=... -DWINE_RUN=... -DEPOCH=... -DSCENARIOS=... -DEXAMPLES=...
#         -P CheckSigning.cmake
find_program(OPENSSL openssl REQUIRED)
find_program(OSSLSIGNCODE osslsigncode REQUIRED)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/bin")
execute_process(
    COMMAND ${OPENSSL} req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=ZEK test signer"
            -addext extendedKeyUsage=codeSigning -keyout "${WORK}/key.pem" -out "${WORK}/cert.pem"
    OUTPUT_QUIET ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(COPY "${BIN}/zekhost.exe" "${BIN}/zxvto38r.dll" "${BIN}/propsys.dll" "${BIN}/shell32.dll"
     DESTINATION "${WORK}/bin")
set(dll "${WORK}/bin/zxvto38r.dll")
execute_process(COMMAND ${CMAKE_COMMAND} -DOSSLSIGNCODE=${OSSLSIGNCODE} -DDLL=${dll}
                        -DCERT=${WORK}/cert.pem -DKEY=${WORK}/key.pem -DEPOCH=${EPOCH}
                        -P ${CMAKE_CURRENT_LIST_DIR}/SignDll.cmake
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

set(errors "")
foreach(file "${dll}" "${BIN}/zxvto38r.dll")
    execute_process(COMMAND ${OSSLSIGNCODE} verify -CAfile "${WORK}/cert.pem" -in "${file}"
                    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
    if(file STREQUAL dll AND (failed OR NOT output MATCHES "Signature verification: ok"))
        string(APPEND errors "the signed DLL does not verify:\n${output}\n")
    elseif(NOT file STREQUAL dll AND NOT failed)
        string(APPEND errors "the unsigned DLL verifies: ${output}\n")
    endif()
endforeach()

foreach(run "handshake|--info" "example|${EXAMPLES}/example.zek")
    string(REGEX MATCH "^([^|]+)\\|(.*)$" _ "${run}")
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env WINEDLLOVERRIDES=propsys,shell32=n
                ${WINE_RUN} "${WORK}/bin/zekhost.exe" --standin-check
                --expect "${SCENARIOS}/${CMAKE_MATCH_1}.expected" ${CMAKE_MATCH_2}
        OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
    if(failed)
        string(APPEND errors "${CMAKE_MATCH_1} with the signed DLL:\n${output}\n")
    endif()
endforeach()
if(errors)
    message(FATAL_ERROR "${errors}")
endif()
file(REMOVE_RECURSE "${WORK}")
