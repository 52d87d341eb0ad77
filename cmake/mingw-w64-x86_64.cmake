# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_vx_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER /usr/bin/${_vx_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${_vx_triplet}-g++-posix)
set(CMAKE_RC_COMPILER /usr/bin/${_vx_triplet}-windres)
set(CMAKE_AR /usr/bin/${_vx_triplet}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${_vx_triplet}-gcc-ranlib-posix CACHE FILEPATH "")
# Headers and libraries come from the mingw sysroot and the cross-built Qt; programs (moc, rcc,
# uic, lrelease) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${_vx_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
