# Cross build for the board: AArch64 Linux with Debian's aarch64-linux-gnu
# toolchain (gcc-aarch64-linux-gnu, g++-aarch64-linux-gnu).
#   cmake --preset aarch64        or
#   cmake -S . -B build/aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(KOVRIN_CROSS_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${KOVRIN_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${KOVRIN_CROSS_TRIPLE}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${KOVRIN_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The board has a C library and nothing else we can count on: the C++
# runtime and libgcc go into the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libstdc++ -static-libgcc")

# Lets CMake (and anyone reading the cache) run the programs on this host.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/${KOVRIN_CROSS_TRIPLE})

