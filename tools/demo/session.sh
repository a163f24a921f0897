#!/usr/bin/env bash
# The demo inside the namespace and prefix that tools/run.sh made: simulated printers on the
# printer side, kvrconfig.exe on the tool side. With a display the tool is the user's until they
# close it. Without one, the window driver runs one search ("STEP 1 - Printer Search"), the main
# window with the filled list is saved as build/kvrconfig-main.png, and the tool is closed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tools/wine/common.sh"
work=$(mktemp -d /tmp/kvr-demo.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

ip netns exec "$KVR_PRINTER_NS" python3 "$root/tools/printer_sim/printer_sim.py" \
  --add-addresses "$KVR_PRINTER_IF" --log "$work/sim.jsonl" --ready-file "$work/sim.ready" \
  --printer mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,port=515,baud=9600,fw=1.10 \
  --printer mac=00:1a:2b:3d:4e:60,ip=192.168.0.11,mask=255.255.255.0,gw=192.168.0.1,port=9100,baud=115200,fw=1.10 \
  --printer mac=00:1a:2b:3d:4e:61,ip=0.0.0.0,port=9100,baud=19200,fw=1.9,dhcp=1 &
for _ in $(seq 100); do [ -e "$work/sim.ready" ] && break; sleep 0.1; done

# The driver package's folder is the current directory: "Port Management" -> "Add Port" installs
# a virtual port from the kvrlancom.INF found there.
cd "$KVR_BUILD/driver_package"
if [ -n "${KVR_KEEP_DISPLAY:-}" ]; then
  echo "kvrconfig.exe is running on $DISPLAY with three simulated printers; close it to end the demo."
  "$KVR_WINE" ../config_tool/kvrconfig.exe
  exit 0
fi

"$KVR_WINE" ../config_tool/kvrconfig.exe >"$work/kvrconfig.log" 2>&1 &
export KVRDRIVE_EXE="$KVR_BUILD/tools/windrive/kvrdrive.exe" PYTHONDONTWRITEBYTECODE=1
demo="$root/tools/e2e/demo_search.py"
python3 "$demo" search
shot="$root/build/kvrconfig-main.png"
import -window root "$shot"
echo "screenshot: $shot"
python3 "$demo" exit
