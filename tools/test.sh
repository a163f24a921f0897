#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the portable logic natively under
# ASan/UBSan, the printer simulator's own tests, then the Windows tests and the end-to-end tests
# under Wine inside a private network namespace with a throwaway prefix and a private Xvfb.
#
# A test that cannot run here (no simulator, no namespace, no 32-bit code) is reported by ctest as
# skipped, never as passed; the run ends by listing every skipped test with its reason. The exit
# code is 1 when any test failed, skips alone do not fail it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
. "$root/tools/wine/common.sh"
bash "$root/tools/build.sh" all

# One JUnit file per ctest run: where the list of skipped tests and their reasons comes from.
results=$root/build/test-results
rm -rf "$results"
mkdir -p "$results"
failed=()
# Skipped tests keep all their output (ctest cuts a passed or skipped test's output at 1 KB), so
# that the reason printed at the end of a long one survives.
run_ctest() {  # run_ctest NAME CTEST-ARGUMENTS...
  local name=$1
  shift
  "$@" --output-on-failure --test-output-size-passed 262144 --output-junit "$results/$name.xml" || failed+=("$name")
}

echo "== static check (cppcheck, Windows library)"
bash "$root/tools/static_check.sh"

echo "== native tests (ASan/UBSan)"
run_ctest native ctest --test-dir "$root/build/native" -j2

# Each build in the prefix it is made for, wherever this machine runs it (KVR_TEST_ARCHS).
for arch in $KVR_TEST_ARCHS; do
  echo "== Windows and end-to-end tests ($arch Wine, $(kvr_target_of "$arch") build)"
  run_ctest "$arch" env KVR_WINE_ARCH="$arch" bash "$root/tools/netns-run.sh" bash "$root/tools/wine/with-prefix.sh" \
    ctest --test-dir "$root/build/win-$(kvr_target_of "$arch")" -LE bench
done

python3 "$root/tools/skipped_tests.py" "$results"/*.xml
if [ ${#failed[@]} -gt 0 ]; then
  echo "== FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "== all tests passed (skipped ones listed above)"
