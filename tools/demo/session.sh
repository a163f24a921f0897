#!/usr/bin/env bash
# The typical run, inside the namespace and fresh prefix that tools/run.sh made: simulated printers
# on the printer side (one of them unconfigured, at 0.0.0.0), kvrlancom-setup.exe /S,
# the COM bridge standing in for the driver's data path, and kvrconfig.exe started as its shortcut
# starts it.
#
# With a display the tool is the user's until they close it. Without one, the steps of
# tools/e2e/typical_run.py run by themselves: a port, a search, STEP 2 binding the printer
# 192.168.0.10 to that port, STEP 3, detach. A screenshot is saved after each step in
# build/typical-run/, and a short report is printed (the bytes the printer received, the time from
# the test print's click to the printer's receipt).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tools/wine/common.sh"
work=$(mktemp -d /tmp/kvr-demo.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

mac=00:1a:2b:3d:4e:5f
package_dir=$WINEPREFIX/drive_c/windows/KELVARO/KVRLANCOM   # the package folder, C:\windows\KELVARO\KVRLANCOM
package_exe='C:\windows\KELVARO\KVRLANCOM\kvrconfig.exe'

wait_file() {
  for _ in $(seq 300); do [ -e "$1" ] && return 0; sleep 0.1; done
  echo "session.sh: $2 did not start" >&2
  return 1
}

start_printers() {
  ip netns exec "$KVR_PRINTER_NS" python3 "$root/tools/printer_sim/printer_sim.py" \
    --add-addresses "$KVR_PRINTER_IF" --log "$work/sim.jsonl" --ready-file "$work/sim.ready" \
    --printer mac=$mac,ip=192.168.0.10,mask=255.255.255.0,gw=192.168.0.1,port=515,baud=9600,fw=1.10 \
    --printer mac=00:1a:2b:3d:4e:60,ip=192.168.0.11,mask=255.255.255.0,gw=192.168.0.1,port=9100,baud=115200,fw=1.10 \
    --printer mac=00:1a:2b:3d:4e:61,ip=0.0.0.0,port=9100,baud=19200,fw=1.9,dhcp=1 &
  wait_file "$work/sim.ready" "the printer simulator"
}

# The package as a user gets it: the setup, silently. It fills the package folder, installs one
# port (COM3 in a fresh prefix) and makes the start-menu shortcut. The 32-bit setup ships; where no
# 32-bit code runs, its 64-bit twin does the same.
install_package() {
  local setup=kvrlancom-setup.exe
  [ "$KVR_WINE_ARCH" = win64 ] && ! timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1 && setup=kvrlancom-setup-x64.exe
  (cd "$root/build/setup" && "$KVR_WINE" "$setup" /S) </dev/null >"$work/setup.log" 2>&1 \
    || { echo "session.sh: $setup /S failed" >&2; cat "$work/setup.log" >&2; return 1; }
  [ -e "$package_dir/kvrconfig.exe" ] || { echo "session.sh: the setup left no kvrconfig.exe" >&2; return 1; }
}

# The stand-in for the driver's data path: every port of the package carried to its bound printer.
start_bridge() {
  python3 "$root/tools/com_bridge/com_bridge.py" --store-query "$KVR_BUILD/tools/com_bridge/kvrstorequery.exe" \
    --log "$work/bridge.jsonl" --ready-file "$work/bridge.ready" &
  wait_file "$work/bridge.ready" "the COM bridge"
}

# As the shortcut starts it: the program in the package folder, that folder the current directory.
start_tool() {
  (cd "$package_dir" && exec "$KVR_WINE" "$package_exe")
}

printer_receipts() {
  python3 - "$work/sim.jsonl" <<'EOF'
import json, sys
closed = [json.loads(l) for l in open(sys.argv[1]) if '"tcp_close"' in l]
for e in closed:
    print(f"  printer {e['local']} received {e['total']} bytes")
print("  no printer received print data" if not closed else "", end="")
EOF
}

start_printers
install_package
start_bridge

if [ -n "${KVR_KEEP_DISPLAY:-}" ]; then
  echo "kvrconfig.exe is running on $DISPLAY with three simulated printers; close it to end the demo."
  echo "A port: Port Management -> Add Port (COM3). Bound ports carry the test page to their printer."
  start_tool </dev/null >"$work/kvrconfig.log" 2>&1 || true
  printer_receipts
  exit 0
fi

shots=$root/build/typical-run
rm -rf "$shots"
start_tool >"$work/kvrconfig.log" 2>&1 &
export KVRDRIVE_EXE="$KVR_BUILD/tools/windrive/kvrdrive.exe" PYTHONDONTWRITEBYTECODE=1
python3 "$root/tools/e2e/typical_run.py" demo "$shots" "$mac" "$work/sim.jsonl" "$work/bridge.jsonl"
