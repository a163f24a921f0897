#!/usr/bin/env bash
# Benchmark: one 256 KB firmware upload (see firmware_upload.py).
# Builds the Windows programs (or takes them from $KVR_BUILD) and runs the benchmark inside private
# network namespaces with a throwaway Wine prefix. Needs root.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tools/wine/common.sh"
if [ -n "${KVR_BUILD:-}" ]; then
  build=$KVR_BUILD
else
  build=$root/build/win-$KVR_TARGET
  bash "$root/tools/build.sh" win >/dev/null
fi
export KVRCONFIG_EXE="$build/config_tool/kvrconfig.exe" KVRDRIVE_EXE="$build/tools/windrive/kvrdrive.exe"
export PYTHONPATH="$root/tools/e2e" PYTHONDONTWRITEBYTECODE=1
exec bash "$root/tools/netns-run.sh" bash "$root/tools/wine/with-prefix.sh" \
  python3 "$root/tools/bench/firmware_upload.py"
