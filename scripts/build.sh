#!/bin/sh
# Configures and builds both targets:
#   build/x64   x86_64, with the tests (run under Wine)
#   build/i686  i686, the 32-bit release build (compiled and linked only)
# Extra arguments go to CMake's configure step of both.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

configure() {
    dir=$1; arch=$2; shift 2
    cmake -S "$root" -B "$root/build/$dir" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" "$@" >/dev/null
}

configure x64 x86_64 -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CORVANIX_CMAKE_ARGS:-} "$@"
cmake --build "$root/build/x64" -j "$jobs"

if [ "${CORVANIX_SKIP_I686:-0}" != 1 ]; then
    configure i686 i686 -DCMAKE_BUILD_TYPE=Release -DCORVANIX_TESTS=OFF ${CORVANIX_CMAKE_ARGS:-} "$@"
    cmake --build "$root/build/i686" -j "$jobs"
fi
