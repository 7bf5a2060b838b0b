#!/usr/bin/env bash
# Builds varnelo.exe and runs it. On Linux it runs under Wine in a sandbox
# prefix under build/ (never ~/.wine), seeded on first use with a sample
# Messenger profile (scripts/sample-profile.reg). With no display it runs on
# a private Xvfb, saves a screenshot of the window and prints its path.
#   scripts/build-and-run.sh           build, then run
#   scripts/build-and-run.sh --reset   start again from the sample profile
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/deps.sh"
build_app

export WINEPREFIX=$BUILD/wine/sandbox
if [[ ${1:-} == --reset || ! -f $WINEPREFIX/.seeded ]]; then
  log "making the sandbox prefix $WINEPREFIX with the sample Messenger profile"
  fresh_prefix "$WINEPREFIX"
  wine reg import "$(winepath -w "$ROOT/scripts/sample-profile.reg")" >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.seeded"
fi

if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
  log "running varnelo.exe (WINEPREFIX=$WINEPREFIX)"
  wine "$EXE"
else
  log "no display: running on Xvfb and taking a screenshot"
  shot=$BUILD/varnelo-screenshot.png
  xvfb-run -a -s "-screen 0 1024x768x24" "$ROOT/scripts/screenshot.sh" "$EXE" "$shot" >/dev/null
  echo "screenshot: $shot"
fi
