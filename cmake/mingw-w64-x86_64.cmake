# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix
# threads flavour, which std::thread and GoogleTest need), linking the C and
# C++ runtimes statically so that orva.exe and vorlent.exe run on their own.
# Programs built this way run here under wine, which ctest uses to run the
# test programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(ORVA_WINE NAMES wine wine64)
if(ORVA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVA_WINE})
endif()
