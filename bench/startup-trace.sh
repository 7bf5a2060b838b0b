#!/usr/bin/env bash
# Where varnelo.exe's start-up time goes: builds a measuring exe (time stamps
# around each step, written to standard error once the window is shown) for
# each architecture this host can run, starts it RUNS times under Wine on a
# private display with N account keys, and prints the median of each step.
#   bench/startup-trace.sh [N] [RUNS]      defaults: 1 key, 7 runs
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
n=${1:-1} runs=${2:-7}
bash "$ROOT/scripts/deps.sh"
runnable_arches
read -r -a arches <<<"${BENCH_ARCHES:-${RUN_ARCHES[*]}}"
work=$BUILD/startup-trace
mkdir -p "$work"
awk -v n="$n" 'BEGIN {
  print "REGEDIT4\n"
  for (i = 0; i < n; i++)
    printf "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\%d]\n%s\n", 1000000000 + i, (i == n - 1) ? "\"IM Color\"=hex:00,ff,00,00\n" : ""
}' >"$work/seed.reg"

for arch in "${arches[@]}"; do
  use_arch "$arch"
  windows_build "trace-$ARCH" win32 -DVARNELO_TESTS=OFF -DVARNELO_STARTUP_TRACE=ON
  export WINEPREFIX=$BUILD/wine/trace-$ARCH
  fresh_prefix "$WINEPREFIX"
  wine reg import "$(wine winepath -w "$work/seed.reg")" >/dev/null 2>&1
  wineserver -w
  log "$ARCH build, $n account keys, medians of $runs runs (ms since the process was created; ms for the step)"
  with_display bash -c '
    exe=$1 runs=$2
    wineserver -p; trap "wineserver -k" EXIT
    wine wineboot </dev/null >/dev/null 2>&1
    wine "$exe" </dev/null >/dev/null 2>&1 & sleep 3; kill $! 2>/dev/null || true  # warm caches
    for ((i = 0; i < runs; i++)); do
      wine "$exe" 2>"$exe.err" >/dev/null </dev/null & pid=$!  # the shim execs: $! is the program
      sleep 2.5
      kill "$pid" 2>/dev/null || true
      wait "$pid" || true
      grep "^trace" "$exe.err" || true
    done' _ "$BUILD/trace-$ARCH/app/win32/varnelo.exe" "$runs" |
    awk '{ key = ""; for (i = 4; i <= NF; i++) key = key (i > 4 ? " " : "") $i
           if (!(key in seen)) { seen[key] = 1; order[++k] = key }
           c[key]++; at[key, c[key]] = $2; step[key, c[key]] = $3 }
         function median(a, key, m,    i, j, t, v) { for (i = 1; i <= m; i++) v[i] = a[key, i]
           for (i = 2; i <= m; i++) { t = v[i]; for (j = i - 1; j >= 1 && v[j] > t; j--) v[j + 1] = v[j]; v[j + 1] = t }
           return (m % 2) ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2 }
         END { for (i = 1; i <= k; i++) printf "  %8.2f %7.2f  %s\n", median(at, order[i], c[order[i]]), median(step, order[i], c[order[i]]), order[i] }'
done
