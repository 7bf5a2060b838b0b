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
awk -v make=seed -v n="$n" -f "$ROOT/bench/profile.awk" >"$work/seed.reg"

for arch in "${arches[@]}"; do
  use_arch "$arch"
  windows_build "trace-$ARCH" win32 -DVARNELO_TESTS=OFF -DVARNELO_STARTUP_TRACE=ON
  export WINEPREFIX=$BUILD/wine/trace-$ARCH
  fresh_prefix "$WINEPREFIX"
  wine reg import "$(wine winepath -w "$work/seed.reg")" >/dev/null 2>&1
  wineserver -w
  log "$ARCH build, $n account keys, medians of $runs runs (ms since the process was created; ms for the step)"
  # shellcheck disable=SC2016  # the script is expanded by the inner bash
  with_display bash -c '
    source "$1"; exe=$2 runs=$3
    wine_server_up
    wine "$exe" </dev/null >/dev/null 2>&1 & sleep 3; kill $! 2>/dev/null || true  # warm caches
    for ((i = 0; i < runs; i++)); do
      wine "$exe" 2>"$exe.err" >/dev/null </dev/null & pid=$!  # the shim execs: $! is the program
      sleep 2.5
      kill "$pid" 2>/dev/null || true
      wait "$pid" || true
      grep "^trace" "$exe.err" || true
    done' _ "$ROOT/scripts/lib.sh" "$BUILD/trace-$ARCH/app/win32/varnelo.exe" "$runs" |
    awk -f "$ROOT/bench/profile.awk" -f "$ROOT/bench/trace.awk"
done
