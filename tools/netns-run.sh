#!/usr/bin/env bash
# netns-run.sh COMMAND...
# Runs COMMAND inside a private network namespace ("tool side") joined by one veth pair to a second
# private namespace ("printer side"), and removes both afterwards. Nothing inside can reach the
# host's network: the tool side has loopback and the veth, nothing else.
#
# Tool side:    veth "vt", 10.77.0.1/24, default route via 10.77.0.2, so the limited broadcast
#               255.255.255.255 and every printer address leave through the veth.
# Printer side: veth "vp", 10.77.0.2/24. The printer simulator adds each printer's own address
#               to "vp" as a /32; the tool reaches it through its default route.
# Two namespaces (not both veth ends in one) make a broadcast arrive exactly once.
#
# COMMAND sees KVR_PRINTER_NS (start the simulator with `ip netns exec "$KVR_PRINTER_NS" ...`),
# KVR_PRINTER_IF=vp and KVR_TOOL_IP=10.77.0.1. Needs root.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 COMMAND..." >&2; exit 2; }

tag=$$
tool_ns=kvrtool$tag
prn_ns=kvrprn$tag

cleanup() {
  for ns in "$prn_ns" "$tool_ns"; do
    pids=$(ip netns pids "$ns" 2>/dev/null || true)
    [ -n "$pids" ] && kill $pids 2>/dev/null || true
  done
  sleep 0.2
  for ns in "$prn_ns" "$tool_ns"; do
    pids=$(ip netns pids "$ns" 2>/dev/null || true)
    [ -n "$pids" ] && kill -9 $pids 2>/dev/null || true
    ip netns del "$ns" 2>/dev/null || true
  done
}
trap cleanup EXIT

ip netns add "$tool_ns"
ip netns add "$prn_ns"
ip link add "kt$tag" type veth peer name "kp$tag"
ip link set "kt$tag" netns "$tool_ns"
ip link set "kp$tag" netns "$prn_ns"

ip -n "$tool_ns" link set lo up
ip -n "$tool_ns" link set "kt$tag" name vt
ip -n "$tool_ns" addr add 10.77.0.1/24 dev vt
ip -n "$tool_ns" link set vt up
ip -n "$tool_ns" route add default via 10.77.0.2 dev vt

ip -n "$prn_ns" link set lo up
ip -n "$prn_ns" link set "kp$tag" name vp
ip -n "$prn_ns" addr add 10.77.0.2/24 dev vp
ip -n "$prn_ns" link set vp up

export KVR_PRINTER_NS=$prn_ns KVR_PRINTER_IF=vp KVR_TOOL_IP=10.77.0.1
. "$(dirname "$0")/child.sh"
rc=0
kvr_run_child ip netns exec "$tool_ns" "$@" || rc=$?
exit $rc
