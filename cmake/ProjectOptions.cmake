# Compiler settings shared by every target of the three builds.

option(ZS_WERROR "Treat compiler warnings as errors" ON)

add_library(zs_options INTERFACE)
target_compile_options(zs_options INTERFACE -Wall -Wextra $<$<BOOL:${ZS_WERROR}>:-Werror>)
target_include_directories(zs_options INTERFACE ${PROJECT_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)

if(ZS_SANITIZE)
    target_compile_options(zs_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all
                                                -fno-omit-frame-pointer)
    target_link_options(zs_options INTERFACE -fsanitize=address,undefined)
endif()

if(ZS_FUZZ)
    # Coverage for libFuzzer in every library the fuzz targets link, with the sanitizers that catch what the
    # fuzzer provokes.
    target_compile_options(zs_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(zs_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
endif()

if(WIN32)
    # A bootstrapper has to start on a bare machine: nothing but system DLLs and the C runtime DLL may be
    # needed at run time, so the GCC and C++ runtimes are linked in statically.
    #
    # Size (setup.exe ships; measure with a linker map, -Wl,-Map):
    # - no -fdata-sections: under it GCC gives every variable of a PE object a .data$ section of its own, the
    #   zero-initialised ones too, and the linker then stores them in the file (the codec state: 104 KB);
    #   without it they go to .bss, which takes no room in the file;
    # - the C++ library's templates are instantiated in our own objects (mingw_implicit_templates.h);
    # - outside Debug the objects carry GCC's intermediate code beside their machine code: a program whose
    #   property ZS_LINK_TIME_OPTIMIZATION is set (setup.exe) is linked with link-time optimisation, every
    #   other program from the machine code. The whole program is optimised as one partition: GCC 12 splits it
    #   into partitions otherwise, and then fails on this code with an internal error (binds_to_current_def_p).
    target_compile_options(zs_options INTERFACE
        $<$<COMPILE_LANGUAGE:C,CXX>:-ffunction-sections>
        "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${PROJECT_SOURCE_DIR}/cmake/mingw_implicit_templates.h>"
        "$<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<NOT:$<CONFIG:Debug>>>:SHELL:-flto -ffat-lto-objects>")
    # No C++ exceptions and no RTTI: nothing in setup.exe throws, and the exception runtime that throwing code
    # brings along (the unwinder, the personality routine, type information, unwind tables) was a third of its
    # size. Failures are results; what the C++ library would throw ends setup.exe through one defined path
    # (src/setup/cxx_runtime_support_win32.cpp). The i686 objects carry no unwind tables either: nothing
    # unwinds through them. The x86_64 ones keep their unwind data, which that platform's ABI requires of every
    # function that calls another (the system walks the stack by it); that build does not ship.
    # A target whose property ZS_CXX_EXCEPTIONS is set compiles its own sources with exceptions: zemcmp.exe,
    # whose worker pool hands a job's exception to the main thread, and the GoogleTest programs. The libraries
    # they link stay without; an exception raised inside them (memory that runs out) cannot be caught and ends
    # the program, as an uncaught one did before. Nothing of ours uses RTTI, so it is off for every target.
    set(zs_exceptions "$<BOOL:$<TARGET_PROPERTY:ZS_CXX_EXCEPTIONS>>")
    target_compile_options(zs_options INTERFACE
        "$<$<COMPILE_LANGUAGE:CXX>:-fno-rtti;$<IF:${zs_exceptions},-fexceptions,-fno-exceptions>>"
        "$<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<NOT:${zs_exceptions}>,$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>>:-fno-asynchronous-unwind-tables;-fno-unwind-tables>")
    target_link_options(zs_options INTERFACE -static-libgcc -static-libstdc++ -Wl,--gc-sections
        "$<$<NOT:$<CONFIG:Debug>>:$<IF:$<BOOL:$<TARGET_PROPERTY:ZS_LINK_TIME_OPTIMIZATION>>,-flto=auto;-flto-partition=one,-fno-lto>>")
    target_compile_definitions(zs_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
endif()
