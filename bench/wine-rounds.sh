#!/usr/bin/env bash
# A step of bench/run.sh, which runs it on a display with WINEPREFIX set to a
# fresh throwaway prefix: for each N, loads the benchmark profile and runs
# bench_driver.exe, appending "N what value" lines to OUT/samples.txt.
#   wine-rounds.sh OUT WIN32_BUILD RUNS N...
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
out=$1 win=$2 runs=$3
shift 3

wine_server_up

for n in "$@"; do
  log "N = $n"
  wine reg delete 'HKCU\Software\Microsoft\MSNMessenger' /f >/dev/null 2>&1 || true
  wine reg delete 'HKCU\Software\Microsoft\MessengerService' /f >/dev/null 2>&1 || true
  wine reg import "$(winepath -w "$out/data/seed-$n.reg")" >/dev/null 2>&1
  # A new server, so the import's unsaved changes are written out now and
  # not by the server's periodic save in the middle of a timed run.
  wineserver -k
  wineserver -w
  wine_server_up

  if ! wine "$win/bench/bench_driver.exe" "$n" "$runs" \
         "$(winepath -w "$win/app/win32/varnelo.exe")" \
         "$(winepath -w "$win/bench/bench_window.exe")" \
         "$(winepath -w "$win/bench/bench_empty.exe")" \
         "$(winepath -w "$win/bench/bench_regloop.exe")" \
         "$(winepath -w "$out/data/apply-$n.reg")" >"$out/driver.$n.txt" 2>"$out/driver.$n.err"; then
    cat "$out/driver.$n.err" >&2
    echo "bench: the driver failed at N = $n" >&2
    exit 1
  fi
  tr -d '\r' <"$out/driver.$n.txt" | awk -v n="$n" '{print n, $1, $2, $3}' >>"$out/samples.txt"
done
