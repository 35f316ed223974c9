# Builds the release DLL and zip a second time, from a copy of the sources at another path in
# another build folder, and checks that both come out byte for byte as the first build's: what
# anyone rebuilding the commit must get. The copy is of the files git knows (tracked or not
# ignored), so that uncommitted work is compared with itself.
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DWORK=... -DNAME=... -DEPOCH=...
#         -DPYTHON=... -DSIGNED=ON|OFF -P CheckReproducible.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND git ls-files --cached --others --exclude-standard
                WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE files RESULT_VARIABLE no_git)
string(REPLACE "\n" ";" files "${files}")
if(no_git)
    # Not a checkout: everything but the build folders.
    file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
    list(FILTER files EXCLUDE REGEX "^(build|out)/")
endif()
foreach(file IN LISTS files)
    if(EXISTS "${SOURCE_DIR}/${file}" AND NOT IS_DIRECTORY "${SOURCE_DIR}/${file}")
        get_filename_component(folder "${WORK}/source/${file}" DIRECTORY)
        file(COPY "${SOURCE_DIR}/${file}" DESTINATION "${folder}")
    endif()
endforeach()

# The same epoch (the copy is no checkout), the same signing, no compiler cache: a rebuild.
set(environment SOURCE_DATE_EPOCH=${EPOCH})
if(NOT SIGNED)
    list(APPEND environment --unset=ZEK_SIGN_CERT --unset=ZEK_SIGN_KEY)
endif()
set(build "${WORK}/build")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env ${environment}
            ${CMAKE_COMMAND} -S "${WORK}/source" -B "${build}" -G Ninja
            -DCMAKE_TOOLCHAIN_FILE=${WORK}/source/cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
            -DZEK_BUILD_TESTS=OFF -DZEK_BUILD_BENCH=OFF
    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
if(NOT failed)
    execute_process(COMMAND ${CMAKE_COMMAND} --build "${build}" --target zxvto38r zxvto38r_notices
                    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
endif()
if(NOT failed)
    execute_process(COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${build} -DNAME=${NAME} -DPYTHON=${PYTHON}
                            -DEPOCH=${EPOCH} -P ${CMAKE_CURRENT_LIST_DIR}/MakePackage.cmake
                    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
endif()
if(failed)
    message(FATAL_ERROR "the second build failed:\n${output}")
endif()

set(errors "")
foreach(file bin/zxvto38r.dll ${NAME}.zip)
    file(SHA256 "${BUILD_DIR}/${file}" first)
    file(SHA256 "${build}/${file}" second)
    message(STATUS "${file}: ${first} (first build), ${second} (second)")
    if(NOT first STREQUAL second)
        string(APPEND errors "  ${file} differs between ${BUILD_DIR} and ${build}\n")
    endif()
endforeach()
if(errors)
    message(FATAL_ERROR "not reproducible:\n${errors}")
endif()
file(REMOVE_RECURSE "${WORK}")
