# Makes the release zip from a release build: installs the build's package files into a
# staging folder and packs them with MakeZip.py, so that the zip's bytes depend on the files
# alone; writes its SHA-256 beside it (<zip>.sha256, the format `sha256sum -c` reads).
#   cmake -DBUILD_DIR=... -DNAME=zxvto38r-<version>-win64 -DPYTHON=... -DEPOCH=...
#         -P MakePackage.cmake
set(stage "${BUILD_DIR}/package-stage")
file(REMOVE_RECURSE "${stage}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${stage}/${NAME}"
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
set(zip "${BUILD_DIR}/${NAME}.zip")
execute_process(COMMAND ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/MakeZip.py "${stage}" "${zip}" ${EPOCH}
                COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE "${stage}")
file(SHA256 "${zip}" sum)
file(WRITE "${zip}.sha256" "${sum}  ${NAME}.zip\n")
message(STATUS "${zip}: SHA-256 ${sum}")
