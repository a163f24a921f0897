#!/usr/bin/env bash
# with_com_ports.sh COMMAND...
# Runs COMMAND (a test program under Wine) with the prefix's COM3 and COM10 each on a pseudo-terminal
# whose far end is captured: whatever the program writes to COMn lands in
# $KVR_COM_CAPTURE/captured-comn.bin, byte for byte. (Not "comn.bin": Windows takes any name whose
# stem is a device name, extension or not, as that device.) COM8 is left without any device. The prefix's earlier links are put back afterwards.
set -euo pipefail

case " $* " in *" --gtest_list_tests "*) exec "$@" ;; esac
: "${WINEPREFIX:?run inside tools/wine/with-prefix.sh}"
dosdevices=$WINEPREFIX/dosdevices
[ -d "$dosdevices" ] || { echo "with_com_ports.sh: $dosdevices missing" >&2; exit 2; }

work=$(mktemp -d /tmp/kvr-com.XXXXXX)
pids=()
restore=()
cleanup() {
  for link in com3 com8 com10; do rm -f "$dosdevices/$link"; done
  for saved in "${restore[@]}"; do ln -sfn "${saved#*=}" "$dosdevices/${saved%%=*}"; done
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

for link in com3 com8 com10; do
  if [ -L "$dosdevices/$link" ]; then restore+=("$link=$(readlink "$dosdevices/$link")"); fi
  rm -f "$dosdevices/$link"
done
for link in com3 com10; do
  socat -u "PTY,link=$work/$link.pty,raw,echo=0" "CREATE:$work/captured-$link.bin" 2>"$work/$link.err" &
  pids+=($!)
done
for link in com3 com10; do
  for _ in $(seq 500); do [ -e "$work/$link.pty" ] && break; sleep 0.01; done
  [ -e "$work/$link.pty" ] || { echo "no pseudo-terminal for $link" >&2; cat "$work/$link.err" >&2; exit 1; }
  ln -sfn "$work/$link.pty" "$dosdevices/$link"
done

export KVR_COM_CAPTURE=$work
. "$(dirname "$0")/../../../tools/child.sh"
kvr_run_child "$@"
