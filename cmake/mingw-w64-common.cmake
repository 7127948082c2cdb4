# Shared part of the mingw-w64 toolchain files; BRENVIK_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix compilers: GoogleTest needs std::mutex, which the -win32 ones lack.
set(CMAKE_C_COMPILER ${BRENVIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRENVIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRENVIK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRENVIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Static runtime: the executables need no mingw DLLs beside them. No time
# stamp in the headers and no symbols, so that two builds of one commit give
# the same files.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
