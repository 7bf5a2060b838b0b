#!/usr/bin/env bash
# Starts varnelo.exe (in the current WINEPREFIX, on the current DISPLAY),
# waits for its window, saves a PNG of it and ends the program.
# Usage: screenshot.sh EXE OUT.png [seconds to wait]
set -euo pipefail
exe=$1 out=$2 wait=${3:-30}

wine "$exe" & pid=$!
geometry=
for _ in $(seq 1 $((wait * 5))); do
  geometry=$(xwininfo -root -tree 2>/dev/null | awk '/"Varnelo": \("varnelo.exe"/ {print $(NF-1); exit}')
  [[ -n $geometry && $geometry != 1x1* ]] && break
  geometry=
  sleep 0.2
done
if [[ -z $geometry ]]; then
  echo "screenshot: the Varnelo window did not appear within ${wait}s" >&2
  kill "$pid" 2>/dev/null || true; wineserver -k 2>/dev/null || true
  exit 1
fi
sleep 1  # let it finish painting
import -window root -crop "$geometry" +repage "$out"
kill "$pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "$out"
