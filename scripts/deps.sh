#!/usr/bin/env bash
# Installs the Debian packages that building and testing Varnelo need, when they
# are missing: both MinGW-w64 cross compilers, 64-bit Wine, and 32-bit Wine
# (with the i386 architecture) only where the host can run 32-bit programs.
# Run by build-and-run.sh, test.sh and the other scripts; safe to run again.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

packages=(cmake g++ libgtest-dev googletest git binutils
          g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
          wine wine64 xvfb xauth x11-utils imagemagick fonts-ipafont-gothic fonts-noto-cjk fonts-wine
          clang clang-format shellcheck libclang-rt-14-dev valgrind zip unzip osslsigncode openssl)
wants_i386=0
if host_runs_32bit; then packages+=(wine32:i386); wants_i386=1; fi

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for pkg in "${packages[@]}"; do
  have_pkg "$pkg" || need+=("$pkg")
done

if ((${#need[@]})); then
  echo "deps: installing ${need[*]}"
  if ((wants_i386)) && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "deps: enabling the i386 architecture (for 32-bit Wine)"
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  echo "deps: done"
fi
