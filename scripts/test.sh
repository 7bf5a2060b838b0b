#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. native build: the logic against the in-memory registry, scripted colour
#      dialog and recording toolkit (GoogleTest, ctest); the same tests again
#      under ASan and UBSan; the fuzzer (scripts/fuzz.sh --check): its
#      committed corpus, then fuzzing, 45 s in all;
#   2. varnelo.exe (MinGW-w64 win32 thread model) and its packaging checks
#      (PE32 GUI, subsystem 5.01, XP-safe imports);
#   3. Windows test programs (MinGW-w64 posix thread model) under Wine on a
#      private Xvfb, in a throwaway prefix: the registry suite against the
#      real registry and end-to-end tests that drive the real exe.
# Installs missing Debian packages first (scripts/deps.sh).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/deps.sh"
mkdir -p "$BUILD"

log "native build and tests"
configure_and_build native -DVARNELO_TESTS=ON
(cd "$BUILD/native" && ctest --output-on-failure -j "$JOBS")

log "native tests again under AddressSanitizer and UndefinedBehaviorSanitizer"
configure_and_build native-asan -DVARNELO_TESTS=ON -DVARNELO_SANITIZE=ON
(cd "$BUILD/native-asan" && ctest --output-on-failure -j "$JOBS")

log "fuzzer: the committed corpus, then a short run (45 s in all)"
bash "$ROOT/scripts/fuzz.sh" --check 45

build_app
log "packaging checks of varnelo.exe"
(cd "$BUILD/win32-app" && ctest --output-on-failure)

log "Windows test build (posix thread model)"
configure_and_build win32-test -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -DVARNELO_THREAD_MODEL=posix -DVARNELO_APP=OFF -DVARNELO_TESTS=ON -DVARNELO_EXE="$EXE"

log "Windows tests under Wine (throwaway prefix, private X display)"
export WINEPREFIX=$BUILD/wine/test
fresh_prefix "$WINEPREFIX"
# Plain (not anti-aliased) text, so a label's text pixels are exactly its colour.
wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothing /d 0 /f >/dev/null 2>&1
wineserver -w  # its desktop process has no display: let it go before Xvfb starts
with_display bash -c '
  wineserver -p && trap "wineserver -k" EXIT  # one server for the whole run: faster starts
  # Start Wine'"'"'s own background processes now, detached from any pipe: started
  # by the first test program, they would hold ctest'"'"'s output pipe open.
  wine wineboot </dev/null >/dev/null 2>&1
  cd "$1" && ctest --output-on-failure' _ "$BUILD/win32-test"
