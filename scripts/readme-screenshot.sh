#!/usr/bin/env bash
# Makes the README's picture of the window, docs/screenshot.png: builds
# varnelo.exe and runs it under Wine on a private Xvfb, in a throwaway prefix
# seeded with the sample Messenger profile (scripts/sample-profile.reg), with
# the frame and caption that Wine draws itself. Wine runs in the C locale
# (code page 1252), as on a Windows that is not set up for Japanese: the
# picture shows that the Japanese texts need no Japanese system locale.
#   scripts/readme-screenshot.sh [OUT.png]    default: docs/screenshot.png
set -euo pipefail
source "$(dirname "$0")/lib.sh"
out=$(realpath -m "${1:-$ROOT/docs/screenshot.png}")
bash "$ROOT/scripts/deps.sh"
runnable_arches
use_arch "${RUN_ARCHES[0]}"
build_app

export LC_ALL=C.UTF-8
log "making a prefix with the sample Messenger profile"
seeded_prefix "$BUILD/wine/readme-$ARCH"

log "running varnelo.exe on Xvfb"
mkdir -p "$(dirname "$out")"
private_display "$ROOT/scripts/screenshot.sh" "$EXE" "$out" >/dev/null
rm -rf "$WINEPREFIX"
echo "$out"
