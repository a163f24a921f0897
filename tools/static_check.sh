#!/usr/bin/env bash
# static_check.sh: Debian's cppcheck over the programs' sources with its Windows library and
# platform, which know the open/close pairs of files, find handles, registry keys and the like.
# No finding may stand: each is mended or suppressed in place with the reason.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sources=(framework shared config_tool)
for program in installer uninstaller setup/msi_actions; do [ -d "$program" ] && sources+=("$program"); done
exec cppcheck --quiet --enable=warning,performance,portability --library=windows --platform=win32A --std=c++17 \
  -D_WIN32 -DWIN32 -I framework -I shared/devsetup -I shared/deploy -I config_tool \
  --suppress=missingIncludeSystem --inline-suppr --error-exitcode=1 "${sources[@]}"
