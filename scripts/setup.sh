#!/usr/bin/env bash
# Installs everything the native and win32 build trees and their tests need, from Debian's
# packages only. Idempotent: when every package is present it only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xauth x11-utils
  libboost-serialization-dev libboost-filesystem-dev libboost-dev
  libgtest-dev libgmock-dev googletest
  libssl-dev openssl osslsigncode icoutils file xz-utils
)

missing=()
have_i386=0
dpkg --print-foreign-architectures | grep -qx i386 && have_i386=1
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ] && [ $have_i386 -eq 1 ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive

if [ $have_i386 -eq 0 ]; then
  echo "setup: adding the i386 architecture (32-bit Wine)"
  $SUDO dpkg --add-architecture i386
fi

# The Boost sources for the MinGW build come from Debian's source package.
src_list=/etc/apt/sources.list.d/kestor-deb-src.sources
if [ ! -f "$src_list" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src_list" >/dev/null
fi

echo "setup: installing ${missing[*]:-(architecture only)}"
if ! $SUDO apt-get update -qq; then
  echo "setup: apt-get update failed" >&2
  exit 1
fi
if ! $SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}" >/tmp/kestor-setup-apt.log 2>&1; then
  echo "setup: apt-get install failed; the last lines of its output:" >&2
  tail -n 30 /tmp/kestor-setup-apt.log >&2
  exit 1
fi
echo "setup: done"
