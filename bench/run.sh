#!/usr/bin/env bash
# Benchmark of varnelo.exe's start-up, apply and undo at scale. One command, from a
# clean checkout; prints a table. Takes a few minutes, so scripts/test.sh does
# not run it. Figures are only as good as the machine is quiet: the table
# shows the load average before and after.
#
#   1. Instruction counts (callgrind, repeatable on a busy machine) of
#      Form_Load, of one Command3_Click and of the Undo_Click after it against
#      the in-memory registry with 10,000 and 100,000 account keys, and how
#      they grow.
#   2. Under Wine, in a throwaway prefix, for 1, 1,000 and 10,000 account keys
#      (neither Messenger key holding a value, only the last account key
#      holding one, so start-up reads every account key): varnelo.exe's
#      start-up, one apply (a click on 設 定) and one undo (元に戻す of an
#      apply that created N - 1 values), side by side with what a user would
#      run instead: reg query /s, reg import of a .reg file that sets the same
#      values, and a minimal loop program making the same registry calls (the
#      floor). Minimum and median of BENCH_RUNS runs.
#   3. Footprint: the exe's size and DLLs, its peak memory at 10,000 keys.
#
# Steps 2 and 3 run for each Windows build this host can run under Wine: the
# 32-bit one where the host runs 32-bit code, the 64-bit one everywhere; each
# gets a table of its own, headed with the build it measured.
#
# Environment: BENCH_RUNS (default 5), BENCH_SIZES (default "1 1000 10000"),
# BENCH_ARCHES (default: every architecture the host can run),
# VARNELO_BUILD_DIR (default build/; this script's builds are bench-native and
# bench-i686 / bench-x86_64 in it, its results bench-results/).
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
bash "$ROOT/scripts/deps.sh"

RUNS=${BENCH_RUNS:-5}
SIZES=${BENCH_SIZES:-1 1000 10000}
CALLGRIND_SIZES="10000 100000"
OUT=$BUILD/bench-results
DATA=$OUT/data
rm -rf "$OUT"
mkdir -p "$DATA"
runnable_arches
read -r -a ARCHES <<<"${BENCH_ARCHES:-${RUN_ARCHES[*]}}"
if [[ -n $WHY_NO_32BIT ]]; then log "$WHY_NO_32BIT"; fi

log "building the native harness"
configure_and_build bench-native -DVARNELO_BENCH=ON -DVARNELO_TESTS=OFF
NATIVE=$BUILD/bench-native/bench/bench_native

log "instruction counts under callgrind (N = ${CALLGRIND_SIZES// /, })"
for n in $CALLGRIND_SIZES; do
  for phase in form_load apply undo; do
    profile=$OUT/callgrind.$phase.$n
    if ! valgrind --tool=callgrind --toggle-collect="varnelo_bench_$phase" \
           --callgrind-out-file="$profile" "$NATIVE" "$n" >"$profile.log" 2>&1; then
      cat "$profile.log"; echo "bench: callgrind run failed" >&2; exit 1
    fi
    echo "$n $phase $(awk '/^summary:/ {print $2}' "$profile")" >>"$OUT/instructions.txt"
  done
done

log "registry files for N = ${SIZES// /, }"
for n in $SIZES; do
  awk -v make=seed -v n="$n" -f "$ROOT/bench/profile.awk" >"$DATA/seed-$n.reg"
  awk -v make=apply -v n="$n" -f "$ROOT/bench/profile.awk" >"$DATA/apply-$n.reg"
done

for arch in "${ARCHES[@]}"; do
  use_arch "$arch"
  log "building varnelo.exe and the bench programs ($ARCH, MinGW win32 thread model)"
  windows_build "bench-$ARCH" win32 -DVARNELO_BENCH=ON -DVARNELO_TESTS=OFF
  WIN=$BUILD/bench-$ARCH
  EXE=$WIN/app/win32/varnelo.exe
  out=$OUT/$ARCH
  mkdir -p "$out"
  ln -sfn ../data "$out/data"

  log "timing the $ARCH build under $WINEARCH Wine ($RUNS runs per figure; throwaway prefix, private display)"
  load_before=$(cut -d' ' -f1-3 /proc/loadavg)
  export WINEPREFIX=$BUILD/wine/bench-$ARCH
  fresh_prefix "$WINEPREFIX"
  # shellcheck disable=SC2086  # SIZES is a list of numbers, one argument each
  with_display bash "$ROOT/bench/wine-rounds.sh" "$out" "$WIN" "$RUNS" $SIZES
  load_after=$(cut -d' ' -f1-3 /proc/loadavg)

  {
    echo "build $ARCH varnelo.exe under $WINEARCH Wine ($WINELOADER)"
    echo "machine $(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)"
    echo "cores $(nproc)"
    echo "wine $(wine --version)"
    echo "kernel $(uname -r)"
    echo "load_before $load_before"
    echo "load_after $load_after"
    echo "exe_bytes $(stat -c %s "$EXE")"
    echo "exe_dlls $("$ARCH-w64-mingw32-objdump" -p "$EXE" | awk '/DLL Name:/ {printf "%s ", tolower($3)}')"
    echo "exe_check $(bash "$ROOT/scripts/check-exe.sh" "$EXE" "$ARCH" gui 2>&1 | tail -1)"
    echo "runs $RUNS"
  } >"$out/machine.txt"

  awk -f "$ROOT/bench/profile.awk" -f "$ROOT/bench/table.awk" "$out/machine.txt" "$OUT/instructions.txt" "$out/samples.txt" |
    tee "$out/table.txt"
  echo
done
