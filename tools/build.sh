#!/usr/bin/env bash
# build.sh [native|win|all]: configures and builds into build/native (host compiler, sanitizers)
# and build/win (MinGW-w64, the target this machine's Wine can run; see tools/wine/common.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/wine/common.sh"
what=${1:-all}
jobs=$(nproc)

if [ "$what" = native ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$root/build/native" -DKVR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build/native" -j"$jobs"
fi
if [ "$what" = win ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$root/build/win-$KVR_TARGET" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$KVR_TARGET.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/win-$KVR_TARGET" -j"$jobs"
fi
