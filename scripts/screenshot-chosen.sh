#!/usr/bin/env bash
# Makes docs/screenshot-chosen.png: the window under Wine after a colour has
# been chosen in the colour dialog, so that the selected-colour sample
# ("選択された色") shows it while the current-colour sample still shows the
# colour found at start-up. Uses a throwaway prefix with the sample Messenger
# profile (scripts/sample-profile.reg) and a private Xvfb; writes nothing to
# the registry (the window is closed with 閉 じ る, 設 定 is never pressed).
#   scripts/screenshot-chosen.sh [RED GREEN BLUE [OUT.png]]   default: 0 0 255
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/deps.sh"
red=${1:-0} green=${2:-0} blue=${3:-255}
out=${4:-$ROOT/docs/screenshot-chosen.png}

runnable_arches
use_arch "${RUN_ARCHES[0]}"
build_app
log "building choose_and_hold.exe (Windows test build)"
windows_build "test-$ARCH" posix -DVARNELO_APP=OFF -DVARNELO_TESTS=ON -DVARNELO_EXE="$EXE"
helper=$TEST_BUILD/tests/choose_and_hold.exe

# Plain text, as in the tests: the sample's letters are exactly the chosen colour.
seeded_prefix "$BUILD/wine/screenshot-chosen-$ARCH" 'HKCU\Control Panel\Desktop' /v FontSmoothing /d 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$(dirname "$out")"
log "choosing $red,$green,$blue and taking the picture"
# shellcheck disable=SC2016  # the script is expanded by the inner bash
with_display bash -c '
  set -euo pipefail
  helper=$1 out=$2 work=$3; shift 3
  : >"$work/helper.log"
  wine "$helper" "$@" "$(wine winepath -w "$work/taken")" >"$work/helper.log" 2>&1 & pid=$!
  for _ in $(seq 1 600); do
    grep -q ready "$work/helper.log" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if ! grep -q ready "$work/helper.log"; then
    cat "$work/helper.log" >&2; echo "screenshot-chosen: no window with the colour chosen" >&2
    kill "$pid" 2>/dev/null || true; wineserver -k 2>/dev/null || true; exit 1
  fi
  geometry=$(xwininfo -root -tree | awk '"'"'/"Varnelo": \("varnelo.exe"/ && $(NF-1) !~ /^1x1/ {print $(NF-1); exit}'"'"')
  sleep 0.5  # the frame and the repainted samples
  import -window root -crop "$geometry" +repage "$out"
  touch "$work/taken"
  wait "$pid"
  wineserver -w' _ "$helper" "$out" "$work" "$red" "$green" "$blue"
echo "$out"
