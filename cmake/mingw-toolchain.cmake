# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 toolchain (posix threads, which
# std::thread needs). KONSOLION_WINDOWS_SYSROOT names the folder holding the static libpng
# and libjpeg scripts/windows/build-thirdparty made; it comes from the environment too, so
# CMake's own try-compile runs, which read this file again, see it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KONSOLION_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${KONSOLION_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KONSOLION_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER  ${KONSOLION_MINGW}-windres)

if(NOT KONSOLION_WINDOWS_SYSROOT AND DEFINED ENV{KONSOLION_WINDOWS_SYSROOT})
    set(KONSOLION_WINDOWS_SYSROOT $ENV{KONSOLION_WINDOWS_SYSROOT})
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${KONSOLION_MINGW} ${KONSOLION_WINDOWS_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# JUCE's package description (and its host juceaide) lives on the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
