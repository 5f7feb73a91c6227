# Cross-compiles Vortalux for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-win32:
# the win32 thread model, so no winpthread DLL). Used by the `windows` configure preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORTALUX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORTALUX_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${VORTALUX_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${VORTALUX_MINGW_PREFIX}-windres)

# Libraries and headers come from the MinGW sysroot only; programs run on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VORTALUX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC runtime linked in, so every .exe needs no DLL beyond the system's.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
