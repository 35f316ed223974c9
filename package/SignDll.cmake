# Build step of a release with a certificate: signs the DLL in place with Authenticode. The
# signing time is the build's epoch, so that the same key signs the same DLL to the same bytes.
# No time-stamp authority is asked (that would need the network and make each signature
# differ): the signature is checked against the certificate's validity when it is verified.
#   cmake -DOSSLSIGNCODE=... -DDLL=... -DCERT=... -DKEY=... [-DPASSWORD_FILE=...] -DEPOCH=...
#         -P SignDll.cmake
set(password "")
if(PASSWORD_FILE)
    set(password -readpass "${PASSWORD_FILE}")
endif()
execute_process(
    COMMAND ${OSSLSIGNCODE} sign -certs "${CERT}" -key "${KEY}" ${password} -h sha256
            -n "Vantoro Extender" -time ${EPOCH} -in "${DLL}" -out "${DLL}.signed"
    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
if(failed)
    file(REMOVE "${DLL}.signed")
    message(FATAL_ERROR "signing ${DLL} failed:\n${output}")
endif()
file(RENAME "${DLL}.signed" "${DLL}")
message(STATUS "signed ${DLL} with ${CERT}")
