# Application manifests of the Windows programs (resource type 24, ID 1): execution level, the Windows versions
# the program supports, system DPI awareness and the Common Controls 6 dependency, from one template.

set(ZS_MANIFEST_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/manifest/application.manifest.in)
set(ZS_EXECUTION_LEVELS asInvoker highestAvailable requireAdministrator)

# zs_application_manifest(TARGET PROGRAM_NAME LEVEL RC_SOURCE): writes <binary dir>/<TARGET>.manifest for
# TARGET with the execution LEVEL, lets the resource compiler find it (the script names it "TARGET.manifest")
# and rebuilds RC_SOURCE when it changes. The program carries the manifest without the template's comments and
# indentation: the same XML in half the bytes (setup.exe's size budget).
function(zs_application_manifest target program level rc_source)
    if(NOT level IN_LIST ZS_EXECUTION_LEVELS)
        string(REPLACE ";" ", " levels "${ZS_EXECUTION_LEVELS}")
        message(FATAL_ERROR "${program}: execution level '${level}' is none of ${levels}")
    endif()
    set(ZS_MANIFEST_PROGRAM ${program})
    set(ZS_MANIFEST_EXECUTION_LEVEL ${level})
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${ZS_MANIFEST_TEMPLATE} ${manifest}.full @ONLY)
    file(READ ${manifest}.full text)
    # The template's comments hold no ">".
    string(REGEX REPLACE "<!--[^>]*-->" "" text "${text}")
    if(text MATCHES "<!--")
        message(FATAL_ERROR "${ZS_MANIFEST_TEMPLATE}: a comment holds \">\"")
    endif()
    string(REGEX REPLACE "[ \t\r]*\n[ \t\r\n]*" " " text "${text}")
    string(REGEX REPLACE "> <" "><" text "${text}")
    string(STRIP "${text}" text)
    file(CONFIGURE OUTPUT ${manifest} CONTENT "${text}" @ONLY)
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
    set_property(SOURCE ${rc_source} APPEND PROPERTY OBJECT_DEPENDS ${manifest})
endfunction()
