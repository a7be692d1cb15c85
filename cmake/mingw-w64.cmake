# Cross build for 64-bit Windows with Debian's mingw-w64:
#   cmake --preset mingw   (or -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)
# The result is one static Quillmark.scr that needs only the system's own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QM_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix threading model first: with GCC 12 only it has std::mutex and friends,
# which the core uses; winpthreads is linked in statically like the C++ run-time.
find_program(CMAKE_C_COMPILER NAMES ${QM_MINGW_TRIPLE}-gcc-posix ${QM_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${QM_MINGW_TRIPLE}-g++-posix ${QM_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${QM_MINGW_TRIPLE}-windres windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${QM_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The stb decoders are header-only and platform-neutral: the host's copy serves.
set(STB_INCLUDE_DIR /usr/include/stb CACHE PATH "stb single-file headers")

# Nothing from the toolchain's own DLLs (libgcc, libstdc++, winpthread) at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The drawing loops' 256- and 512-bit forms are built here too. Windows aligns the stack
# to 16 bytes, and GCC spills those registers with moves that fault unless the address
# is aligned to 32 or 64: the assembler writes every such move in its unaligned form.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
