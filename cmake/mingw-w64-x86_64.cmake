# Cross-building for 64-bit Windows with Debian's mingw-w64 (the posix-threads GCC, as the Qt in
# use was built with). The Qt prefix is added by the caller to CMAKE_PREFIX_PATH and
# CMAKE_FIND_ROOT_PATH (dist/windows/build.sh does).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PLINTOR_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER /usr/bin/${PLINTOR_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${PLINTOR_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER /usr/bin/${PLINTOR_MINGW}-windres)
set(CMAKE_AR /usr/bin/${PLINTOR_MINGW}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${PLINTOR_MINGW}-ranlib CACHE FILEPATH "")
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${PLINTOR_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
