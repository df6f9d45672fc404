# Generates the table of shipped strings that `zemcmp check` needs: the language catalogue and the English
# message block of ZSRES.DLL, taken from the resource script itself at build time, so that the tool and the
# library cannot disagree. Run as
#   cmake -DSCRIPT=<string_table.rc> -DOUTPUT=<file.cpp> -DLAST_ID=<highest ID to keep> -P check_shipped_strings.cmake
#
# The script is read line by line: inside STRINGTABLE ... END every line that is not blank or a // comment
# must be `ID, "text"` on one line. Anything else stops the build rather than being misread.

foreach(variable SCRIPT OUTPUT LAST_ID)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "check_shipped_strings.cmake: ${variable} is not set")
    endif()
endforeach()

file(READ "${SCRIPT}" contents)
# Lines become list items; a ";" or a bracket (which would hold list items together) in a text must survive.
string(REPLACE ";" "@SEMICOLON@" contents "${contents}")
string(REPLACE "[" "@OPEN@" contents "${contents}")
string(REPLACE "]" "@CLOSE@" contents "${contents}")
string(REPLACE "\r" "" contents "${contents}")
string(REPLACE "\n" ";" lines "${contents}")

set(in_table FALSE)
set(line_number 0)
set(entries "")
set(count 0)
foreach(line IN LISTS lines)
    math(EXPR line_number "${line_number} + 1")
    string(STRIP "${line}" stripped)
    if(NOT in_table)
        if(stripped STREQUAL "BEGIN" OR stripped STREQUAL "{")
            if(after_stringtable)
                set(in_table TRUE)
            endif()
        elseif(stripped MATCHES "^STRINGTABLE")
            set(after_stringtable TRUE)
        endif()
        continue()
    endif()
    if(stripped STREQUAL "END" OR stripped STREQUAL "}")
        set(in_table FALSE)
        set(after_stringtable FALSE)
        continue()
    endif()
    if(stripped STREQUAL "" OR stripped MATCHES "^//")
        continue()
    endif()
    if(NOT stripped MATCHES "^([0-9]+)[ \t]*,?[ \t]*\"(([^\"\\\\]|\\\\[nt\\\\\"]|\"\")*)\"$")
        message(FATAL_ERROR "${SCRIPT}:${line_number}: not a one-line `ID, \"text\"` entry with simple escapes")
    endif()
    set(id "${CMAKE_MATCH_1}")
    set(text "${CMAKE_MATCH_2}")
    if(id GREATER LAST_ID)
        continue()
    endif()
    # The resource compiler's "" is a quote; the escapes \n \t \\ \" mean the same in C++.
    string(REPLACE "\"\"" "\\\"" text "${text}")
    string(REPLACE "@SEMICOLON@" ";" text "${text}")
    string(REPLACE "@OPEN@" "[" text "${text}")
    string(REPLACE "@CLOSE@" "]" text "${text}")
    string(APPEND entries "    {${id}, \"${text}\"},\n")
    math(EXPR count "${count} + 1")
endforeach()

if(count EQUAL 0)
    message(FATAL_ERROR "${SCRIPT}: no strings with IDs up to ${LAST_ID} found")
endif()

set(generated "// Generated from ${SCRIPT} by check_shipped_strings.cmake; do not edit.
#include \"check_shipped_strings.h\"

namespace zs::zemcmp {

const ShippedString kShippedStrings[] = {
${entries}};

const size_t kShippedStringCount = sizeof kShippedStrings / sizeof kShippedStrings[0];

}  // namespace zs::zemcmp
")

# Rewritten only when it changes, so that an unrelated edit of the script does not rebuild the tool.
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" previous)
    if(previous STREQUAL generated)
        return()
    endif()
endif()
file(WRITE "${OUTPUT}" "${generated}")
