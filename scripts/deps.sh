#!/usr/bin/env bash
# Installs the Debian packages that building and testing Varnelo need, when they
# are missing. Sourced by build-and-run.sh and test.sh; safe to run again.
set -euo pipefail

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

for pkg in cmake g++ libgtest-dev googletest g++-mingw-w64-i686 binutils-mingw-w64-i686 \
           wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick fonts-ipafont-gothic fonts-noto-cjk fonts-wine \
           clang libclang-rt-14-dev valgrind; do
  have_pkg "$pkg" || need+=("$pkg")
done

if ((${#need[@]})); then
  echo "deps: installing ${need[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "deps: enabling the i386 architecture (for 32-bit Wine)"
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  echo "deps: done"
fi
