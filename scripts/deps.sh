#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, once: packages already
# present are not fetched again, and apt-get runs only when something is missing.
set -euo pipefail
packages=(
  build-essential cmake pkg-config clang clang-format
  # clang's sanitizer and libFuzzer runtimes, only recommended by clang itself
  libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libstb-dev libimagequant-dev fonts-liberation2 libcrypt-dev libx11-dev libxcb1-dev libxcb-shm0-dev
  # the end-to-end tests' X probe asks XFixes whether the pointer is hidden
  libxfixes-dev
  xvfb xauth x11-utils xdotool imagemagick
  # the install test formats the manual page and checks the desktop entries
  groff-base desktop-file-utils
  # a nested X server whose screen can change size, for the end-to-end tests
  xserver-xephyr
  # a window manager, to test where the dialogs open once they have frames
  openbox
)
if [ "${QM_WITH_WINDOWS:-0}" = 1 ]; then
  packages+=(g++-mingw-w64-x86-64-win32 g++-mingw-w64-x86-64-posix wine wine64)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=()
  if [ "$(id -u)" != 0 ]; then
    command -v sudo >/dev/null ||
      { echo "deps.sh: not root and no sudo; install as root: ${missing[*]}" >&2; exit 1; }
    SUDO=(sudo)
  fi
  "${SUDO[@]}" apt-get update -qq
  # Through env: sudo would drop the variable from its own environment.
  "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
