# Cross-compiling for 64-bit Windows with Debian's mingw-w64.
#
#   cmake -S . -B build-windows \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DQORX_WINDOWS_DEPS="$(scripts/build-windows-deps | tail -n 1)"
#
# QORX_WINDOWS_DEPS (a cache variable, or else the environment variable of the
# same name) is the prefix holding the cross-built libraries: include/, lib/,
# lib/pkgconfig/ and bin/. find_package() and pkg_check_modules() look there
# and in the compiler's own Windows root, never at the build machine's
# libraries, headers or .pc files.
#
# Nothing here is needed for a native Windows build: there MSYS2's compiler and
# pkg-config, or vcpkg's own toolchain file, are found through the same
# find_package() and pkg_check_modules() calls.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QORX_MINGW_TRIPLET x86_64-w64-mingw32)

# Debian 12 has two builds of the compiler that differ in the thread model of
# their C++ runtime. We take the -win32 one: nothing of ours uses std::thread,
# and with it neither the C++ runtime nor the libraries pull in winpthreads,
# so a program needs no libwinpthread-1.dll beside it. (The -posix one is only
# worth it for std::thread and std::mutex, which GCC 12's -win32 runtime lacks.)
# Naming the variant keeps the choice from hanging on update-alternatives.
set(CMAKE_C_COMPILER ${QORX_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${QORX_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${QORX_MINGW_TRIPLET}-windres)
# CMake guesses the binutils' prefix from the compiler's name, and the -win32
# suffix defeats the guess; without these it would fall back on the build
# machine's ar.
set(CMAKE_AR ${QORX_MINGW_TRIPLET}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${QORX_MINGW_TRIPLET}-ranlib CACHE FILEPATH "Ranlib")
set(CMAKE_NM ${QORX_MINGW_TRIPLET}-nm CACHE FILEPATH "nm")
set(CMAKE_OBJDUMP ${QORX_MINGW_TRIPLET}-objdump CACHE FILEPATH "objdump")
set(CMAKE_STRIP ${QORX_MINGW_TRIPLET}-strip CACHE FILEPATH "strip")

if(NOT QORX_WINDOWS_DEPS AND DEFINED ENV{QORX_WINDOWS_DEPS})
  set(QORX_WINDOWS_DEPS "$ENV{QORX_WINDOWS_DEPS}")
endif()
set(QORX_WINDOWS_DEPS "${QORX_WINDOWS_DEPS}" CACHE PATH
    "Prefix of the Windows libraries (scripts/build-windows-deps prints it)")
# try_compile() projects read this file again with a cache of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QORX_WINDOWS_DEPS)

# Everything the build links against comes from these roots. Programs (nasm,
# pkg-config, code generators) are the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${QORX_MINGW_TRIPLET})
if(QORX_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH "${QORX_WINDOWS_DEPS}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config: the build machine's program, but only the prefix's .pc files.
# PKG_CONFIG_LIBDIR replaces the default search path (/usr/lib/pkgconfig and
# the like), and PKG_CONFIG_PATH, searched before it, is dropped so a
# developer's own setting cannot bring Linux libraries back in. The prefix's
# .pc files locate themselves through ${pcfiledir}, so no sysroot is put in
# front of their paths.
if(QORX_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} "${QORX_WINDOWS_DEPS}/lib/pkgconfig:${QORX_WINDOWS_DEPS}/share/pkgconfig")
else()
  # No prefix given: find nothing rather than the build machine's libraries.
  set(ENV{PKG_CONFIG_LIBDIR} "/nonexistent")
endif()
unset(ENV{PKG_CONFIG_PATH})
unset(ENV{PKG_CONFIG_SYSROOT_DIR})
# FindPkgConfig would add CMAKE_PREFIX_PATH and friends to the search; they
# may name Linux directories given for other reasons.
set(PKG_CONFIG_USE_CMAKE_PREFIX_PATH OFF CACHE BOOL "")
