# Cross-building 32-bit Windows programs with Debian's MinGW-w64 (the POSIX
# thread model, for std::thread); tests run them under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TORVIC_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TORVIC_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TORVIC_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TORVIC_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TORVIC_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Self-contained programs: no MinGW runtime DLLs to ship beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
