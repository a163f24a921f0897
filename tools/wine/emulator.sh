#!/usr/bin/env bash
# ctest runs every Windows test executable through this: Wine, in the prefix the harness made.
. "$(dirname "$0")/common.sh"
kvr_require_private_prefix
exec "$KVR_WINE" "$@"
