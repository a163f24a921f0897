#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need, from Debian's packages.
# Idempotent and non-interactive; needs root (uses sudo when started by another user).
set -euo pipefail

packages=(
  cmake make g++ python3                      # native build of the portable logic and its tests
  cppcheck                                    # static check of the programs
  g++-mingw-w64-i686 g++-mingw-w64-x86-64     # the Windows programs (i686 ships; x86_64 where 32-bit code cannot run)
  wine wine32:i386 wine64                     # runs the programs and their tests
  fonts-wine                                  # Wine's own fonts: Marlett draws the caption buttons (else a close box shows "r")
  xvfb x11-utils imagemagick                  # headless display and screenshots
  googletest                                  # GoogleTest sources, built for both targets
  iproute2 socat                              # private network namespaces, COM-port capture
  nsis                                        # the setup package (makensis)
  wixl msitools                               # the Windows Installer packages (wixl, msiinfo)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "setup: installing ${missing[*]}" >&2
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
