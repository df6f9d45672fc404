# How Windows-side tests are built and run. Both Windows builds build them and run them under Wine in a 64-bit
# prefix, through scripts/wine/wine-run.sh: the x86_64 programs directly, the i686 ones under WOW64 (Wine's
# 64-bit loader hands them to its 32-bit one), which needs the 32-bit Wine and a machine that runs 32-bit
# programs. Where that is missing, the i686 build registers only its host-side checks (tests/host).
#
# Every test that uses Wine shares one prefix, so they run one at a time (RESOURCE_LOCK) inside one session: a
# virtual display and a persistent wineserver, started before the first of them and stopped after the last
# (ctest fixtures), so that no process is left behind at the end of a test run.

include(GoogleTest)

# The bitness of the build's programs; the end-to-end scenarios need it for the registry view (a 32-bit program
# on 64-bit Windows sees HKLM\Software through Software\Wow6432Node).
math(EXPR ZS_PROGRAM_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
set(zs_wine_tests_default ON)
if(ZS_PROGRAM_BITS EQUAL 32)
    execute_process(COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/i686-runs-here.sh ${CMAKE_BINARY_DIR}
                    RESULT_VARIABLE zs_probe_result OUTPUT_VARIABLE zs_probe_reason ERROR_QUIET
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(zs_probe_result EQUAL 1)
        set(zs_wine_tests_default OFF)
        message(STATUS "Windows-side tests of the i686 build not registered: this machine cannot run 32-bit "
                       "programs")
    elseif(NOT zs_probe_result EQUAL 0)
        set(zs_wine_tests_default OFF)
        message(STATUS "Windows-side tests of the i686 build not registered: the 32-bit Wine (wine32:i386) is "
                       "missing (${zs_probe_reason})")
    endif()
endif()
option(ZS_WINE_TESTS "Register the Windows-side tests and end-to-end scenarios with ctest (they run under Wine)"
       ${zs_wine_tests_default})
set(ZS_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources, built with the cross compiler")

set(ZS_RUN_WINE_TESTS ${ZS_WINE_TESTS})

set(ZS_WINE_SCRIPTS ${PROJECT_SOURCE_DIR}/scripts/wine)
set(ZS_WINE_RUN ${ZS_WINE_SCRIPTS}/wine-run.sh)
set(ZS_WINE_FIXTURE zs_wine_session)
set(ZS_WINE_LOCK zs_wine_prefix)

# GoogleTest from the sources on the machine, built for this target: its own binary directory, no pthreads (the
# MinGW compilers here use Win32 threads), linked statically like everything else of ours.
if(NOT EXISTS ${ZS_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${ZS_GOOGLETEST_SOURCE_DIR} (apt-get install googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${ZS_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Its hook header in gtest_port/ stands in for the one class that needs std::mutex, which the Win32-thread C++
# library of these compilers lacks.
target_include_directories(gtest BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/gtest_port)

add_library(zs_win_gtest_main INTERFACE)
target_link_libraries(zs_win_gtest_main INTERFACE gtest_main zs_options)

# zs_wine_test_properties(TEST...): what every test that runs under Wine needs.
function(zs_wine_test_properties)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED ${ZS_WINE_FIXTURE} RESOURCE_LOCK ${ZS_WINE_LOCK})
endfunction()

# zs_add_win_gtest(NAME SOURCE... [LIBS TARGET...] [TIMEOUT SECONDS]): a GoogleTest program for the Win32 layer.
# Its tests are discovered when ctest starts (the program is run once with --gtest_list_tests under Wine) and
# each runs as its own ctest test, named NAME.Suite.Case.
function(zs_add_win_gtest name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "LIBS")
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT 120)
    endif()
    add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE zs_win_gtest_main ${arg_LIBS})
    # GoogleTest's library is built with exceptions; its headers in the tests agree with it.
    set_target_properties(${name} PROPERTIES ZS_CXX_EXCEPTIONS ON)
    if(ZS_RUN_WINE_TESTS)
        set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR ${ZS_WINE_RUN})
        gtest_discover_tests(${name}
            TEST_PREFIX ${name}.
            DISCOVERY_MODE PRE_TEST
            DISCOVERY_TIMEOUT 300
            PROPERTIES
                FIXTURES_REQUIRED ${ZS_WINE_FIXTURE}
                RESOURCE_LOCK ${ZS_WINE_LOCK}
                TIMEOUT ${arg_TIMEOUT}
        )
    endif()
endfunction()

if(ZS_RUN_WINE_TESTS)
    add_test(NAME wine.session.start COMMAND ${ZS_WINE_SCRIPTS}/wine-session.sh start)
    add_test(NAME wine.session.stop COMMAND ${ZS_WINE_SCRIPTS}/wine-session.sh stop)
    set_tests_properties(wine.session.start PROPERTIES FIXTURES_SETUP ${ZS_WINE_FIXTURE} TIMEOUT 600)
    set_tests_properties(wine.session.stop PROPERTIES FIXTURES_CLEANUP ${ZS_WINE_FIXTURE} TIMEOUT 120)
    set_tests_properties(wine.session.start wine.session.stop PROPERTIES RESOURCE_LOCK ${ZS_WINE_LOCK})
endif()
