#!/usr/bin/env bash
# Builds everything and runs every test, after checking that every C++ file
# is formatted and every script clean under shellcheck (scripts/check-style.sh):
#   1. native build: the logic against the in-memory registry, scripted colour
#      dialog and recording toolkit (GoogleTest, ctest); the same tests again
#      under ASan and UBSan; the fuzzer (scripts/fuzz.sh --check): its
#      committed corpus, then fuzzing, 45 s in all;
#   2. varnelo.exe and varnelo.com for i686 and for x86_64 (MinGW-w64 win32
#      thread model) and the packaging checks of all four (PE32 / PE32+, GUI
#      or console, subsystem 5.01 / 5.02, XP-safe imports, size, hardening
#      flags); then all built again from a copy of the
#      sources in another folder, which must give the same bytes
#      (scripts/check-reproducible.sh); all signed with a throwaway
#      certificate as package.sh signs a release, verified, stripped back to
#      the unsigned bytes, and run (scripts/check-signing.sh); the release
#      packages made as a release makes them (scripts/package.sh, unsigned),
#      which checks what each zip holds;
#   3. for each architecture whose programs this host can run (x86_64
#      always, i686 where the kernel runs 32-bit code): the Windows test
#      programs (posix thread model) under Wine of that bitness on a private
#      Xvfb, in a throwaway prefix: the registry suite against the real
#      registry and end-to-end tests that drive that architecture's exe;
#   4. every sample of the command line's output in README.md and the user
#      guides, run on the sample profile and compared (scripts/check-docs.sh).
# Installs missing Debian packages first (scripts/deps.sh).
# VARNELO_64BIT_ONLY=1 takes the path of a host that runs 64-bit code only.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/deps.sh"
runnable_arches

log "style: clang-format over the C++ files, shellcheck over the scripts"
bash "$ROOT/scripts/check-style.sh"

log "native build and tests"
configure_and_build native -DVARNELO_TESTS=ON
(cd "$BUILD/native" && ctest --output-on-failure -j "$JOBS")

log "native tests again under AddressSanitizer and UndefinedBehaviorSanitizer"
configure_and_build native-asan -DVARNELO_TESTS=ON -DVARNELO_SANITIZE=ON
(cd "$BUILD/native-asan" && ctest --output-on-failure -j "$JOBS")

log "fuzzer: the committed corpus, then a short run (45 s in all)"
bash "$ROOT/scripts/fuzz.sh" --check 45

for arch in "${ALL_ARCHES[@]}"; do
  use_arch "$arch"
  build_app
  log "packaging check of the $arch varnelo.exe and varnelo.com"
  (cd "$APP_BUILD" && ctest --output-on-failure)
done

log "reproducibility: both exes and .coms built again elsewhere, compared byte for byte"
bash "$ROOT/scripts/check-reproducible.sh"

log "signing: both exes and .coms signed with a throwaway certificate, verified, stripped, run"
bash "$ROOT/scripts/check-signing.sh"

log "release packages: both zips, their texts, their sums"
bash "$ROOT/scripts/package.sh"

# The registry suite and the end-to-end suites under Wine, for the current ARCH.
run_wine_suites() {
  log "Windows tests of the $ARCH build under $WINEARCH Wine (throwaway prefix, private X display)"
  export WINEPREFIX=$BUILD/wine/test-$ARCH
  fresh_prefix "$WINEPREFIX"
  # Plain (not anti-aliased) text, so a label's text pixels are exactly its colour.
  wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /d 0 /f >/dev/null 2>&1
  wineserver -w  # its desktop process has no display: let it go before Xvfb starts
  # One server for the whole run: each test program starts faster.
  # shellcheck disable=SC2016  # the script is expanded by the inner bash
  with_display bash -c 'source "$1"; wine_server_up; cd "$2" && ctest --output-on-failure' \
    _ "$ROOT/scripts/lib.sh" "$TEST_BUILD" |
    tee "$BUILD/wine-tests-$ARCH.log"
}

summary=()
for arch in "${RUN_ARCHES[@]}"; do
  use_arch "$arch"
  # shellcheck disable=SC2119  # build_tests takes extra cmake arguments; none here
  build_tests
  run_wine_suites
  summary+=("$arch: $(grep -oE '[0-9]+ tests failed out of [0-9]+' "$BUILD/wine-tests-$arch.log" | tail -1)")
done

log "the documents' samples of output, against the exe"
bash "$ROOT/scripts/check-docs.sh"

log "builds exercised"
echo "packaging checks: ${ALL_ARCHES[*]}"
echo "Wine suites: ${summary[*]/%/;}"
if [[ -n $WHY_NO_32BIT ]]; then echo "$WHY_NO_32BIT"; fi
