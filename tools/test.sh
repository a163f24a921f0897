#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the portable logic natively under
# ASan/UBSan, the printer simulator's own tests, then the Windows tests and the end-to-end tests
# under Wine inside a private network namespace with a throwaway prefix and a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
. "$root/tools/wine/common.sh"
bash "$root/tools/build.sh" all

echo "== static check (cppcheck, Windows library)"
bash "$root/tools/static_check.sh"

echo "== native tests (ASan/UBSan)"
ctest --test-dir "$root/build/native" --output-on-failure -j2

# Each build in the prefix it is made for, wherever this machine runs it (KVR_TEST_ARCHS).
for arch in $KVR_TEST_ARCHS; do
  echo "== Windows and end-to-end tests ($arch Wine, $(kvr_target_of "$arch") build)"
  KVR_WINE_ARCH=$arch bash "$root/tools/netns-run.sh" bash "$root/tools/wine/with-prefix.sh" \
    ctest --test-dir "$root/build/win-$(kvr_target_of "$arch")" --output-on-failure -LE bench
done
