# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix-thread variant, whose
# C++ runtime has std::thread). Used for the game and for every dependency built beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_AR ${MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# MIRRORFALL_WIN_PREFIX: where scripts/build-windows.sh installs the Windows dependencies.
if(NOT MIRRORFALL_WIN_PREFIX AND DEFINED ENV{MIRRORFALL_WIN_PREFIX})
  set(MIRRORFALL_WIN_PREFIX $ENV{MIRRORFALL_WIN_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${MIRRORFALL_WIN_PREFIX})
set(CMAKE_PREFIX_PATH ${MIRRORFALL_WIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must see only the Windows libraries, never the build machine's.
if(MIRRORFALL_WIN_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${MIRRORFALL_WIN_PREFIX}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()

# The C and C++ runtimes of GCC go into the executables, so the zip needs no libgcc or
# libstdc++ DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
