# Cross-builds the Windows program on Debian with the MinGW-w64 compiler (package
# g++-mingw-w64-x86-64-posix or -win32; g++-mingw-w64-x86-64 brings both):
#   cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DTALDEVON_TESTS=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALDEVON_MINGW_TRIPLET x86_64-w64-mingw32)
# Debian ships the compiler in a POSIX-threads and a Win32-threads variant; the job starts no
# thread, so either will do, and the unsuffixed name is whichever the alternatives point at.
find_program(CMAKE_CXX_COMPILER NAMES
  ${TALDEVON_MINGW_TRIPLET}-g++-posix ${TALDEVON_MINGW_TRIPLET}-g++-win32
  ${TALDEVON_MINGW_TRIPLET}-g++ REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${TALDEVON_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime libraries go into the .exe, so that it needs no DLL beside the system's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
