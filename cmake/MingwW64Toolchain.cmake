# Cross-building for 64-bit Windows with Debian's mingw-w64 compilers (packages g++-mingw-w64-x86-64-posix
# and mingw-w64): the POSIX-threads variant, so that std::thread and friends are there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(K54_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${K54_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${K54_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${K54_MINGW_TRIPLET}-windres)

# Headers and libraries come from the cross environment only; programs run on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${K54_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
