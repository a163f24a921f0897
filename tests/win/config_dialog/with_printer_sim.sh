#!/usr/bin/env bash
# with_printer_sim.sh COMMAND...
# Runs COMMAND (a test program under Wine) with two simulated printers as its network peers, in the
# private printers' namespace of tools/netns-run.sh, and names the simulator's event log in
# KVR_SIM_LOG. Outside those namespaces no simulator is started and nothing may be sent: the tests
# that send skip themselves.
#   00:1a:2b:3d:4e:5f  192.168.0.10:515   baud code 0x10, firmware 1.10; answers "SETT" with "SETC"
#   00:1a:2b:3d:4e:60  192.168.0.11:9100  9600; applies "SETT" without answering
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)

case " $* " in *" --gtest_list_tests "*) exec "$@" ;; esac
if [ -z "${KVR_PRINTER_NS:-}" ]; then
  echo "with_printer_sim.sh: not inside tools/netns-run.sh; no printers, the tests that send skip" >&2
  exec "$@"
fi

work=$(mktemp -d /tmp/kvr-sim.XXXXXX)
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The system's interpreter when there is one: a version manager's shim costs a noticeable start-up.
python=$(command -v /usr/bin/python3 || command -v python3)
common=mask=255.255.255.0,gw=192.168.0.1,fw=1.10,dhcp=0,inactivity=0
ip netns exec "$KVR_PRINTER_NS" "$python" "$root/tools/printer_sim/printer_sim.py" \
  --log "$work/sim.jsonl" --ready-file "$work/ready" --jitter-ms 0 \
  --printer "mac=00:1a:2b:3d:4e:5f,ip=192.168.0.10,port=515,baud=0x10,$common" \
  --printer "mac=00:1a:2b:3d:4e:60,ip=192.168.0.11,port=9100,baud=0xF4,ack_sett=0,$common" \
  >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 500); do
  [ -e "$work/ready" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { cat "$work/sim.out" >&2; exit 1; }
  sleep 0.01
done
[ -e "$work/ready" ] || { echo "printer simulator not ready" >&2; cat "$work/sim.out" >&2; exit 1; }

export KVR_SIM_LOG=$work/sim.jsonl
. "$(dirname "$0")/../../../tools/child.sh"
kvr_run_child "$@"
