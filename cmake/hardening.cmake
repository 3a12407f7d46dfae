# The hardening that Debian builds its packages with (dpkg-buildflags with
# hardening=+all), for every build of the program and its tests: a
# position-independent executable, stack protector, stack clash and control
# flow protection, checked string and memory functions, and relocations made
# read-only once the loader has bound every symbol at start.
include(CheckCXXCompilerFlag)
include(CheckPIESupported)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)

    add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
    # Not every compiler has these, and control flow protection is for x86 only.
    foreach(flag -fstack-clash-protection -fcf-protection)
        string(MAKE_C_IDENTIFIER "HAVE${flag}" result)
        check_cxx_compiler_flag(${flag} ${result})
        if(${result})
            add_compile_options(${flag})
        endif()
    endforeach()

    # The checks need the optimiser (the compiler warns without it). Some
    # compilers define the macro already, at another level.
    add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")

    add_link_options(-Wl,-z,relro,-z,now)
endif()
