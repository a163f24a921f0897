#!/usr/bin/env bash
# Installs what is needed, builds, and shows the user's typical run: a fresh Wine prefix inside a
# private network namespace whose only peers are simulated printers, kvrlancom-setup.exe /S in the
# prefix, the COM bridge carrying each port's data to its bound printer, and kvrconfig.exe. With a
# display ($DISPLAY) the tool is yours to use until you close it; without one it runs under Xvfb,
# performs the typical steps by itself with a screenshot after each (build/typical-run/*.png) and
# prints a short report. See tools/demo/session.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
. "$root/tools/wine/common.sh"
bash "$root/tools/build.sh" win >/dev/null
export KVR_BUILD="$root/build/win-$KVR_TARGET"
if [ -n "${DISPLAY:-}" ]; then export KVR_KEEP_DISPLAY=1; fi
exec bash "$root/tools/netns-run.sh" bash "$root/tools/wine/with-prefix.sh" bash "$root/tools/demo/session.sh"
