#!/usr/bin/env bash
# The coverage-guided fuzzer of the Reg routines and Form1's handlers
# (tests/fuzz), built with clang, libFuzzer, ASan and UBSan in $BUILD/fuzz.
#
#   scripts/fuzz.sh [SECONDS]          fuzz for SECONDS (default 600), then
#                                      merge what was found into the committed
#                                      corpus, minimised (tests/fuzz/corpus)
#   scripts/fuzz.sh --check [SECONDS]  run the committed corpus, then fuzz,
#                                      SECONDS in all (default 45), without
#                                      touching it (scripts/test.sh runs this)
#
# A broken contract stops the run with the input in $BUILD/fuzz-artifacts/;
# replay it with: $BUILD/fuzz/tests/fuzz/varnelo_fuzz <file>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

mode=long
if [[ ${1:-} == --check ]]; then mode=check; shift; fi
seconds=${1:-$([[ $mode == check ]] && echo 45 || echo 600)}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "usage: $0 [--check] [SECONDS]" >&2; exit 2; }

bash "$ROOT/scripts/deps.sh"
mkdir -p "$BUILD"
log "fuzzer build (clang, libFuzzer, ASan, UBSan)"
CC=clang CXX=clang++ configure_and_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARNELO_TESTS=OFF -DVARNELO_FUZZ=ON

fuzzer=$BUILD/fuzz/tests/fuzz/varnelo_fuzz
corpus=$ROOT/tests/fuzz/corpus
work=$BUILD/fuzz-work
artifacts=$BUILD/fuzz-artifacts/
mkdir -p "$corpus" "$work" "$artifacts"
options=(-max_len=8192 -len_control=10 -timeout=30 -rss_limit_mb=4096 -print_final_stats=1
         "-artifact_prefix=$artifacts")

if [[ $mode == check ]]; then rm -rf "$work"; mkdir -p "$work"; fi
# libFuzzer first runs every input it is given (INITED), then mutates them
# until the time is up.
log "fuzzing for $seconds s, starting with the $(find "$corpus" -type f | wc -l) committed inputs"
"$fuzzer" "${options[@]}" -max_total_time="$seconds" "$work" "$corpus" 2>"$BUILD/fuzz.log" ||
  { tail -60 "$BUILD/fuzz.log"; echo "fuzzer: a contract was broken (input in $artifacts)" >&2; exit 1; }
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::number_of_executed_units' "$BUILD/fuzz.log" || true

if [[ $mode == long ]]; then
  log "merging into $corpus, minimised"
  merged=$BUILD/fuzz-merged
  rm -rf "$merged"; mkdir -p "$merged"
  # The smallest set of inputs that still gives every feature seen.
  "$fuzzer" "${options[@]}" -set_cover_merge=1 "$merged" "$corpus" "$work" 2>"$BUILD/fuzz-merge.log"
  rm -f "$corpus"/*
  cp "$merged"/* "$corpus"/
  echo "corpus: $(find "$corpus" -type f | wc -l) inputs, $(cat "$corpus"/* | wc -c) bytes"
fi
