#!/usr/bin/env bash
# bench/run.sh [NAME]: runs the benchmarks (ctest label bench), or the one whose test name holds
# NAME, inside private network namespaces with a throwaway Wine prefix. Builds the Windows programs
# first. Needs root.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tools/wine/common.sh"
bash "$root/tools/build.sh" win >/dev/null
exec bash "$root/tools/netns-run.sh" bash "$root/tools/wine/with-prefix.sh" \
  ctest --test-dir "$root/build/win-$KVR_TARGET" -L bench -R "${1:-bench}" --output-on-failure -V
