# Debian's hardening flags (those dpkg-buildflags gives with hardening=+all) for the optimised
# builds, so a Release build made by hand, as the README shows, is as hardened as the package:
# fortified libc calls, stack protector and clash protection, control-flow protection, a
# position-independent executable, and relocations made read-only at start-up (bindnow).
# The Windows build is left as mingw-w64 makes it.
option(VX_HARDENING "Build optimised builds with Debian's hardening flags" ON)
if(VX_HARDENING AND NOT WIN32 AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
    add_compile_definitions("$<${optimised}:_FORTIFY_SOURCE=2>")
    add_compile_options("$<${optimised}:-fstack-protector-strong;-fstack-clash-protection;-Wformat;-Werror=format-security>")
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
        add_compile_options("$<${optimised}:-fcf-protection>")
    endif()
    add_link_options("$<${optimised}:LINKER:-z,relro;LINKER:-z,now>")
endif()
