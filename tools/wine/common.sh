# Sourced by the Wine scripts: chooses the Wine loader and the build target that this machine can run.
#
# The programs ship as 32-bit (i686) builds and are tested in a 32-bit prefix wherever this machine
# can execute 32-bit code. Some kernels have 32-bit emulation switched off ("32-bit emulation
# disabled" in dmesg); 32-bit Wine cannot start there at all, so the same sources are built for
# x86_64 and tested with 64-bit Wine instead. KVR_WINE_ARCH=win32|win64 forces the choice.

kvr_detect_wine_arch() {
  if [ -n "${KVR_WINE_ARCH:-}" ]; then echo "$KVR_WINE_ARCH"; return; fi
  if [ -x /usr/lib/wine/wine ] && timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo win32
  else
    echo win64
  fi
}

# Whether this machine runs 32-bit code at all: the 32-bit Wine loader is an i386 program.
kvr_runs_32bit_code() {
  [ -x /usr/lib/wine/wine ] && timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The prefixes the whole suite runs in (tools/test.sh, tools/build.sh): the i686 build in a 32-bit
# prefix and the x86_64 build in a 64-bit one, each where this machine runs it; only the forced one
# when KVR_WINE_ARCH is set. Decided once and handed down to the scripts started from here.
if [ -z "${KVR_TEST_ARCHS:-}" ]; then
  if [ -n "${KVR_WINE_ARCH:-}" ]; then
    KVR_TEST_ARCHS=$KVR_WINE_ARCH
  elif kvr_runs_32bit_code; then
    KVR_TEST_ARCHS="win32 win64"
  else
    KVR_TEST_ARCHS=win64
  fi
  export KVR_TEST_ARCHS
fi

# The build target tested in a prefix of this kind.
kvr_target_of() {
  if [ "$1" = win32 ]; then echo i686; else echo x86_64; fi
}

KVR_WINE_ARCH=$(kvr_detect_wine_arch)
export KVR_WINE_ARCH
if [ "$KVR_WINE_ARCH" = win32 ]; then
  export KVR_WINE=/usr/lib/wine/wine KVR_TARGET=i686
  unset WINELOADER
else
  export KVR_WINE=/usr/lib/wine/wine64 KVR_TARGET=x86_64
  export WINELOADER=/usr/lib/wine/wine64
fi
export WINEARCH=$KVR_WINE_ARCH
export WINEDEBUG=${WINEDEBUG:--all}
# No Gecko or Mono installer prompts while a prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

kvr_require_private_prefix() {
  if [ -z "${WINEPREFIX:-}" ] || [ "$(readlink -f "$WINEPREFIX")" = "$(readlink -f "$HOME/.wine")" ]; then
    echo "refusing to run Wine without a throwaway WINEPREFIX (never ~/.wine)" >&2
    exit 2
  fi
}
