# Cross-building for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX thread model, which std::thread and std::mutex need). Used by `make windows`:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake \
#         -DPLOTWISE_DEPS_PREFIX=$(cmake/deps/build_deps.sh windows)
# Programs built for Windows (the tests) run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PLOTWISE_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PLOTWISE_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLOTWISE_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${PLOTWISE_MINGW_HOST}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PLOTWISE_MINGW_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(PLOTWISE_WINE wine)
if(PLOTWISE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PLOTWISE_WINE})
endif()

# The C and C++ runtimes and the thread library linked in: the plug-in, the stand-in and the
# programs need no MinGW DLL beside them (libstdc++, libgcc, libwinpthread).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
