#!/usr/bin/env bash
# with_second_adapter.sh COMMAND...: runs COMMAND (a test program under Wine) with a second adapter in
# the tool's private namespace, one end of a veth pair (10.79.0.1/20) whose other end stays there too,
# so nothing sent out of it leaves the machine. Outside tools/netns-run.sh the tests needing it skip.
set -euo pipefail
case " $* " in *" --gtest_list_tests "*) exec "$@" ;; esac
[ -n "${KVR_PRINTER_NS:-}" ] && ip link add "kvr2a$$" type veth peer name "kvr2b$$" 2>/dev/null || exec "$@"
trap 'ip link del "kvr2a$$" 2>/dev/null || true' EXIT
ip addr add 10.79.0.1/20 dev "kvr2a$$"
ip link set "kvr2b$$" up
ip link set "kvr2a$$" up
KVR_SECOND_ADAPTER=10.79.0.1 "$@"
