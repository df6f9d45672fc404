# The release package: one zip with what goes on an installation medium (the shipping i686 setup.exe and
# ZSRES.DLL), the media tool for Windows and for Linux, and the media authors' guide with an example list
# file. Its version is the project's (project(VERSION) in the top-level CMakeLists.txt).
#
# The files come from two builds: the i686 Windows build (setup.exe, ZSRES.DLL, zemcmp.exe) packs the zip and
# takes the Linux zemcmp from a native build named by ZS_RELEASE_LINUX_TOOL. scripts/make-release.sh runs both
# builds and cpack; see docs/media-authors.md.
#
# Layout of the zip, under zemsetup-<version>/:
#   medium/setup.exe, medium/ZSRES.DLL   copy these beside SETUP.LST on the medium
#   tools/windows/zemcmp.exe             the media tool for Windows
#   tools/linux/zemcmp                   the media tool for Linux (x86_64)
#   README.txt, media-authors.md, SETUP.LST.example

set(ZS_RELEASE_LINUX_TOOL "" CACHE FILEPATH "The native zemcmp to put into the release package (Windows builds)")

set(ZS_RELEASE_FILES ${PROJECT_SOURCE_DIR}/cmake/release)

if(WIN32)
    # Install rules for files of targets defined elsewhere: the files themselves, so that no import library
    # comes along.
    if(TARGET setup)
        install(PROGRAMS $<TARGET_FILE:setup> DESTINATION medium)
    else()
        message(WARNING "Release package: this tree does not build setup.exe yet, so the package leaves it out")
    endif()
    install(FILES $<TARGET_FILE:zsres> DESTINATION medium)
    install(PROGRAMS $<TARGET_FILE:zemcmp> DESTINATION tools/windows)
    # Authenticode signatures: when ZS_SIGN_PKCS12 is set in the environment of the installation (cpack's staging
    # installation for the release package included), the installed copies of the Windows files are signed by
    # scripts/sign-files.sh, which also reads the password and the time-stamp server from the environment. The
    # build's own files stay unsigned, so a later unsigned package cannot pick up an old signature.
    set(ZS_SIGNED_FILES medium/ZSRES.DLL tools/windows/zemcmp.exe)
    if(TARGET setup)
        list(PREPEND ZS_SIGNED_FILES medium/setup.exe)
    endif()
    install(CODE "set(ZS_SIGN_FILES_SCRIPT \"${PROJECT_SOURCE_DIR}/scripts/sign-files.sh\")
                  set(ZS_SIGNED_FILES \"${ZS_SIGNED_FILES}\")")
    install(SCRIPT ${ZS_RELEASE_FILES}/sign_installed_files.cmake)
    if(ZS_RELEASE_LINUX_TOOL)
        install(PROGRAMS ${ZS_RELEASE_LINUX_TOOL} DESTINATION tools/linux RENAME zemcmp)
    else()
        message(STATUS "Release package: no ZS_RELEASE_LINUX_TOOL given, so the package has no Linux zemcmp")
    endif()
else()
    install(PROGRAMS $<TARGET_FILE:zemcmp> DESTINATION tools/linux)
endif()

configure_file(${ZS_RELEASE_FILES}/README.txt.in ${CMAKE_BINARY_DIR}/release/README.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/release/README.txt ${PROJECT_SOURCE_DIR}/docs/media-authors.md DESTINATION .)
install(FILES ${ZS_RELEASE_FILES}/SETUP.LST DESTINATION . RENAME SETUP.LST.example)

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zemrova")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Setup bootstrapper, its resource library and the media tool")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
