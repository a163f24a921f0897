#!/usr/bin/env bash
# build.sh [native|win|all]: configures and builds
#   build/native        the portable logic with the host compiler (sanitizers) and its tests;
#   build/win-i686,     the Windows programs for both architectures: with their tests where this
#   build/win-x86_64    machine runs that build (tools/wine/common.sh, KVR_TEST_ARCHS), without
#                       elsewhere (the setup package needs both);
#   build/setup         kvrlancom-setup.exe (setup/, NSIS) from the two Windows trees.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/wine/common.sh"
what=${1:-all}
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

if [ "$what" = native ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$root/build/native" -DKVR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build/native" -j"$jobs"
fi
if [ "$what" = win ] || [ "$what" = all ]; then
  tested=" "
  for arch in $KVR_TEST_ARCHS; do tested+="$(kvr_target_of "$arch") "; done
  for target in i686 x86_64; do
    tests=OFF
    [[ "$tested" == *" $target "* ]] && tests=ON
    cmake -S "$root" -B "$root/build/win-$target" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$target.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DKVR_BUILD_TESTS=$tests >/dev/null
    cmake --build "$root/build/win-$target" -j"$jobs"
  done
  cmake -S "$root/setup" -B "$root/build/setup" \
    -DKVR_I686_BUILD="$root/build/win-i686" -DKVR_X86_64_BUILD="$root/build/win-x86_64" >/dev/null
  cmake --build "$root/build/setup"
fi
