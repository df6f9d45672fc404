# Run by the installation (cmake/Packaging.cmake) after the Windows files are installed: signs the installed
# copies named by ZS_SIGNED_FILES (relative to the installation prefix) with scripts/sign-files.sh when
# ZS_SIGN_PKCS12 is set in the environment; does nothing otherwise.
if(NOT DEFINED ENV{ZS_SIGN_PKCS12} OR "$ENV{ZS_SIGN_PKCS12}" STREQUAL "")
    return()
endif()
set(files ${ZS_SIGNED_FILES})
list(TRANSFORM files PREPEND "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/")
execute_process(COMMAND bash ${ZS_SIGN_FILES_SCRIPT} ${files} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "Signing the installed Windows files failed (scripts/sign-files.sh: ${status})")
endif()
