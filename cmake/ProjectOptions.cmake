# Compiler settings shared by every target of the three builds.

add_library(zs_options INTERFACE)
target_compile_options(zs_options INTERFACE -Wall -Wextra)
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
    target_compile_options(zs_options INTERFACE -ffunction-sections -fdata-sections)
    target_link_options(zs_options INTERFACE -static-libgcc -static-libstdc++ -Wl,--gc-sections)
    target_compile_definitions(zs_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
endif()
