#!/usr/bin/env bash
# Builds varnelo.exe (and varnelo.com) and runs the exe. On Linux it runs
# under Wine in a sandbox prefix under build/ (never ~/.wine), seeded on first use with a sample
# Messenger profile (scripts/sample-profile.reg). With no display it runs on
# a private Xvfb, saves a screenshot of the window and prints its path.
# It runs the 32-bit exe where the host runs 32-bit code, else the 64-bit one
# in a 64-bit prefix of its own (VARNELO_64BIT_ONLY=1 asks for that anywhere).
#   scripts/build-and-run.sh           build, then run
#   scripts/build-and-run.sh --reset   start again from the sample profile
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/deps.sh"
runnable_arches
use_arch "${RUN_ARCHES[0]}"
if [[ -n $WHY_NO_32BIT ]]; then
  log "running the 64-bit varnelo.exe in a 64-bit prefix: ${WHY_NO_32BIT#32-bit builds not run under Wine: }"
fi
build_app

export WINEPREFIX=$BUILD/wine/sandbox-$ARCH
if [[ ${1:-} == --reset || ! -f $WINEPREFIX/.seeded ]]; then
  log "making the sandbox prefix $WINEPREFIX with the sample Messenger profile"
  seeded_prefix "$WINEPREFIX"
  touch "$WINEPREFIX/.seeded" "$WINEPREFIX/.ui-fonts"
elif [[ ! -f $WINEPREFIX/.ui-fonts ]]; then  # a sandbox made before seeded_prefix did this
  log "giving the sandbox's menus, tooltips and message boxes a Japanese face"
  japanese_ui_fonts
  wineserver -w
  touch "$WINEPREFIX/.ui-fonts"
fi

if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
  log "running varnelo.exe (WINEPREFIX=$WINEPREFIX)"
  wine "$EXE"
else
  log "no display: running on Xvfb and taking a screenshot"
  shot=$BUILD/varnelo-screenshot.png
  private_display "$ROOT/scripts/screenshot.sh" "$EXE" "$shot" >/dev/null
  echo "screenshot: $shot"
fi
