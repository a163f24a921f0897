#!/usr/bin/env bash
# Installs what is needed, builds, and starts kvrconfig.exe under Wine inside a private network
# namespace whose only peers are simulated printers. With a display ($DISPLAY) the tool is yours
# to use until you close it; without one it runs under Xvfb, a screenshot of the main window is
# saved as build/kvrconfig-main.png, and the tool is closed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
. "$root/tools/wine/common.sh"
bash "$root/tools/build.sh" win >/dev/null
export KVR_BUILD="$root/build/win-$KVR_TARGET"
if [ -n "${DISPLAY:-}" ]; then export KVR_KEEP_DISPLAY=1; fi
exec bash "$root/tools/netns-run.sh" bash "$root/tools/wine/with-prefix.sh" bash "$root/tools/demo/session.sh"
