# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads).
# Tests run under Wine: CMake starts each test program through it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZARN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZARN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARN_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZARN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Self-contained executables: no MinGW runtime DLLs to find under Wine. Each
# function and datum in a section of its own, and the linker drops those no
# one calls: the windows' program carries only the parts of the modes library
# its windows use.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")
find_program(ZARN_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib/wine64 NO_CMAKE_FIND_ROOT_PATH)
if(ZARN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZARN_WINE})
endif()
