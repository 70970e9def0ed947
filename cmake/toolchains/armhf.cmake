# Cross-build for the terminal's processor: 32-bit ARM with hard float, using
# Debian's arm-linux-gnueabihf toolchain and the armhf multiarch libraries.
# Target programs (tests, build-time tools) run under qemu-arm user emulation.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

# 64-bit file offsets and inode numbers in the host calls: without them stat()
# and readdir() fail with EOVERFLOW on large files and on file systems whose
# inode numbers pass 32 bits, which the storage root may live on.
set(CMAKE_C_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")

# The host linker refuses a program whose shared libraries leave a symbol
# unresolved; the cross linker does not check by default, which would leave the
# fault to a lazy binding failure in the middle of a test under emulation.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--no-allow-shlib-undefined")

# The cross toolchain's own libraries (libc, libstdc++) live under
# /usr/arm-linux-gnueabihf; libraries installed as armhf packages live in the
# multiarch folders under /usr/lib/arm-linux-gnueabihf, which the "/" root and
# CMAKE_LIBRARY_ARCHITECTURE reach.
set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabihf /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must describe the target's libraries, not the host's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/arm-linux-gnueabihf/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# CTest, gtest_discover_tests and custom commands that run a target program
# prefix it with this. The dynamic loader comes from the cross toolchain's
# folder, and so must the C library: the host's cache would otherwise hand it
# the armhf multiarch libc, a different release whose private interface with
# the loader differs (threads crash at their creation). The libraries of the
# armhf packages are still found through the cache.
find_program(ARMHF_QEMU qemu-arm REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ARMHF_QEMU} -L /usr/arm-linux-gnueabihf
    -E LD_LIBRARY_PATH=/usr/arm-linux-gnueabihf/lib)
