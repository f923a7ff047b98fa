# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (posix threads, so
# that std::thread and std::mutex are there) and runs the results under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLERY_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLERY_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLERY_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLERY_MINGW_PREFIX}-windres)

# Only the MinGW sysroot is searched for headers and libraries: the host's
# /usr/include holds Linux headers that would shadow the Windows ones.
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLERY_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static: the .exe needs no MinGW runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(QUILLERY_WINE NAMES wine64 wine HINTS /usr/lib/wine)
if(QUILLERY_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLERY_WINE})
endif()
