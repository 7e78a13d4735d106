# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix thread model (std::thread and friends), and everything linked statically: each .exe
# needs no DLL beyond those of Windows itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VMK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VMK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VMK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VMK_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only; programs (the build's own tools) of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VMK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
