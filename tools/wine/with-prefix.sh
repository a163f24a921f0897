#!/usr/bin/env bash
# with-prefix.sh COMMAND...
# Runs COMMAND with a throwaway Wine prefix and a headless X display, and removes both afterwards.
# Run it inside the private network namespace (tools/netns-run.sh): the prefix's wineserver is
# started here, so every socket a Wine program opens lives in this namespace.
#   KVR_KEEP_DISPLAY=1   use the caller's $DISPLAY instead of a private Xvfb
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

work=$(mktemp -d /tmp/kvr-wine.XXXXXX)
export WINEPREFIX=$work/prefix
xvfb_pid=
keeper_pid=

cleanup() {
  [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
  "$KVR_WINE" wineboot -e >/dev/null 2>&1 </dev/null || true
  WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${KVR_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display number itself and writes it to the pipe: two runs at once never
  # share a display.
  exec 3> >(cat >"$work/display")
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
fi

# Keep the prefix's server running from the start, with its output detached: otherwise Wine's
# background services inherit the caller's pipes and ctest waits for them forever.
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1 </dev/null
# The first Wine program started from outside boots the prefix (wineboot --init) and waits for it.
# Not "wineboot -i" itself: that runs the whole start-up a second time once the boot is done, with a
# second services.exe beside the first.
# No sound driver: a message box's beep would otherwise wait about two seconds for one.
"$KVR_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d "" /f >"$work/wineboot.log" 2>&1 </dev/null \
  || { cat "$work/wineboot.log" >&2; exit 1; }
# Windows not handed to a window manager: without one (plain Xvfb), hiding a managed window waits
# about two seconds for the manager that never answers.
"$KVR_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null

# Wine draws the caption buttons and other frame glyphs with its Marlett font (without it a close
# box shows the letter "r"). Debian's fonts-wine has it in /usr/share/wine/fonts, but Debian's Wine
# 8 looks for its own fonts under "<data dir>\../fonts", a name that Windows paths cannot resolve;
# the prefix's Fonts folder is searched at every program start.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

# The desktop, up once and kept for every program of the run (desktop_keeper.c says why).
"${KVR_TARGET}-w64-mingw32-gcc" -Wall -Wextra -Werror -O2 -o "$work/desktop_keeper.exe" "$here/desktop_keeper.c"
"$KVR_WINE" "$work/desktop_keeper.exe" </dev/null >"$work/desktop_keeper.out" 2>&1 &
keeper_pid=$!
until grep -q ready "$work/desktop_keeper.out" 2>/dev/null; do
  kill -0 "$keeper_pid" 2>/dev/null || { echo "no desktop in the prefix:" >&2; cat "$work/desktop_keeper.out" >&2; exit 1; }
  sleep 0.05
done

. "$here/../child.sh"
kvr_run_child "$@"
