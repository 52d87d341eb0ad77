# GoogleTest built with the program's own compiler, from the source that Debian's googletest
# package installs: a cross build finds no GoogleTest for its target otherwise.
set(VX_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's source")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(${VX_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Its sources are not ours to keep free of warnings.
foreach(target gtest gtest_main)
    target_compile_options(${target} PRIVATE -w)
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
endforeach()
