#!/usr/bin/env bash
# with_second_adapter.sh COMMAND...
# Runs COMMAND (a test program under Wine) with a second network adapter in the tool's private
# namespace: one end of a veth pair, 10.79.0.1/20, whose other end stays in the same namespace, so
# that what goes out of it never leaves the machine. Names its address in KVR_SECOND_ADAPTER.
# Outside tools/netns-run.sh nothing is added and the tests that need it skip.
set -euo pipefail

case " $* " in *" --gtest_list_tests "*) exec "$@" ;; esac
if [ -z "${KVR_PRINTER_NS:-}" ] || [ "$(id -u)" != 0 ]; then
  exec "$@"
fi

a=kvr2a$$
b=kvr2b$$
if ! ip link add "$a" type veth peer name "$b" 2>/dev/null; then
  echo "with_second_adapter.sh: cannot make a second adapter; the tests that need it skip" >&2
  exec "$@"
fi
trap 'ip link del "$a" 2>/dev/null || true' EXIT
ip addr add 10.79.0.1/20 dev "$a"
ip link set "$b" up
ip link set "$a" up
export KVR_SECOND_ADAPTER=10.79.0.1
"$@"
