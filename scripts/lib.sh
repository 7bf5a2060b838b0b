# shellcheck shell=bash disable=SC2034  # it sets variables for the scripts that source it
# Shared by build-and-run.sh, test.sh and the other scripts: the builds, the
# choice of Wine for each Windows architecture and the throwaway Wine prefixes.
# Source it; it sets ROOT and BUILD.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${VARNELO_BUILD_DIR:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)
mkdir -p "$BUILD"

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts in a fresh prefix: Varnelo needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The Windows architectures, 32-bit first. Both are always built.
ALL_ARCHES=(i686 x86_64)

log() { printf '== %s\n' "$*"; }

# True when this host's kernel runs 32-bit x86 programs: some x86-64 hosts
# have IA-32 emulation off, and there no i386 ELF (32-bit Wine among them)
# can start. The probe is a 96-byte i386 ELF that exits with 42, so it needs
# no package. VARNELO_64BIT_ONLY=1 takes the 64-bit-only path on any host.
host_runs_32bit() {
  [[ ${VARNELO_64BIT_ONLY:-0} == 1 ]] && return 1
  local probe status=0
  probe=$(mktemp "$BUILD/probe32.XXXXXX")
  local elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'    # 32-bit, little-endian
  elf+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' # executable, i386, entry
  elf+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' # one program header
  elf+='\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' # PT_LOAD of the file
  elf+='\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  elf+='\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'  # mov eax,1; mov ebx,42; int 0x80
  printf '%b' "$elf" >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  ((status == 42))
}

# The architectures whose programs this host can run under Wine, in RUN_ARCHES,
# and in WHY_NO_32BIT the one line that says why i686 is not among them.
runnable_arches() {
  if host_runs_32bit; then
    RUN_ARCHES=(i686 x86_64) WHY_NO_32BIT=
  else
    RUN_ARCHES=(x86_64)
    if [[ ${VARNELO_64BIT_ONLY:-0} == 1 ]]; then
      WHY_NO_32BIT="32-bit builds not run under Wine: VARNELO_64BIT_ONLY=1 asks for the 64-bit-only path"
    else
      WHY_NO_32BIT="32-bit builds not run under Wine: this host's kernel cannot run 32-bit programs (IA-32 emulation is off), so 32-bit Wine cannot start"
    fi
  fi
}

# Selects one Windows architecture for what follows: its Wine loader (called
# directly, never through the /usr/bin/wine wrapper, which picks the 32-bit
# loader whenever it is installed, runnable or not), its prefix kind, and the
# names of its builds. Puts shims named wine and wine-stable first in PATH, so
# Wine's own tools (wineboot, winepath) and ctest use the same loader.
use_arch() {  # i686 | x86_64
  ARCH=$1
  case $ARCH in
    i686) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine ;;
    x86_64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 ;;
    *) echo "unknown architecture $ARCH" >&2; return 1 ;;
  esac
  local shims=$BUILD/wine/bin-$ARCH
  mkdir -p "$shims"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec %s "$@"\n' "$WINELOADER" >"$shims/$name"
    chmod +x "$shims/$name"
  done
  PATH=$shims:${PATH#"$BUILD"/wine/bin-*:}
  export PATH
  APP_BUILD=$BUILD/app-$ARCH
  TEST_BUILD=$BUILD/test-$ARCH
  EXE=$APP_BUILD/app/win32/varnelo.exe
  COM=$APP_BUILD/app/win32/varnelo.com  # the console companion, built beside it
}

configure_and_build() {  # name, then extra cmake arguments
  local name=$1; shift
  cmake -S "$ROOT" -B "$BUILD/$name" -DCMAKE_BUILD_TYPE=MinSizeRel "$@" >"$BUILD/$name.configure.log" 2>&1 ||
    { cat "$BUILD/$name.configure.log"; return 1; }
  local status=0
  cmake --build "$BUILD/$name" -j "$JOBS" >"$BUILD/$name.build.log" 2>&1 || status=$?
  grep -E 'warning:|error:' "$BUILD/$name.build.log" || true  # compiler messages, not file names
  if ((status)); then tail -40 "$BUILD/$name.build.log"; echo "build of $name failed" >&2; fi
  return "$status"
}

windows_build() {  # name, thread model, then extra cmake arguments; for the current ARCH
  local name=$1 model=$2; shift 2
  configure_and_build "$name" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw.cmake" \
    -DVARNELO_ARCH="$ARCH" -DVARNELO_THREAD_MODEL="$model" "$@"
}

build_app() {  # varnelo.exe and varnelo.com for the current ARCH
  log "building varnelo.exe and varnelo.com ($ARCH, MinGW-w64 win32 thread model)"
  windows_build "app-$ARCH" win32 -DVARNELO_TESTS=OFF
  [[ -f $EXE && -f $COM ]]
}

build_tests() {  # the Windows test programs for the current ARCH, against its varnelo.exe and .com
  log "Windows test build ($ARCH, posix thread model)"
  windows_build "test-$ARCH" posix -DVARNELO_APP=OFF -DVARNELO_TESTS=ON -DVARNELO_EXE="$EXE" \
    -DVARNELO_COM="$COM" "$@"
}

# A Wine prefix of our own under the build folder, never ~/.wine. Made once
# per architecture (about 10 s) into a template; each user gets a fresh copy.
prepare_template_prefix() {
  local template=$BUILD/wine/template-$ARCH
  if [[ ! -f $template/system.reg ]]; then
    log "creating a $WINEARCH Wine prefix template in $template"
    rm -rf "$template"; mkdir -p "$template"
    WINEPREFIX=$template wine wineboot -i >/dev/null 2>&1
    WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    WINEPREFIX=$template wineserver -w
  fi
}

# Debian's Wine 8 looks for its own fonts (package fonts-wine) under
# "/usr/share/wine/../fonts", a path it then fails to open, so it has no
# Marlett: the caption's close box shows the letter "r" instead of its cross.
# A font in the prefix's Windows\Fonts is always loaded.
add_caption_font() {  # prefix
  local marlett=/usr/share/wine/fonts/marlett.ttf
  if [[ -f $marlett ]]; then cp "$marlett" "$1/drive_c/windows/Fonts/"; fi
}

fresh_prefix() {  # path of a new prefix copied from the current ARCH's template
  prepare_template_prefix
  local prefix=$1
  rm -rf "$prefix"; mkdir -p "$(dirname "$prefix")"
  cp -a "$BUILD/wine/template-$ARCH" "$prefix"
  add_caption_font "$prefix"
}

# In a locale that is not Japanese, the font Wine gives menus, tooltips and
# message boxes ("MS Shell Dlg", which is Tahoma there) has no Japanese: the
# system menu's 色を保存 and 元に戻す, the samples' tooltips and the message
# boxes show boxes, while the window's own controls, which choose a Japanese
# face, draw right. This gives those three the Japanese face IPAPGothic
# (fonts-ipafont-gothic) in the prefix WINEPREFIX. The values MenuFont,
# StatusFont (tooltips) and MessageFont under
# HKCU\Control Panel\Desktop\WindowMetrics are each a LOGFONTW of 92 bytes,
# of which only the face name (the last 64 bytes, UTF-16) is changed. The
# caption and the window's own controls are left as they are, so the
# README's pictures do not change.
japanese_ui_fonts() {
  local key='HKCU\Control Panel\Desktop\WindowMetrics' face=IPAPGothic faceHex='' logfont name i
  for ((i = 0; i < 32; i++)); do  # LF_FACESIZE characters, padded with zeros
    if ((i < ${#face})); then printf -v name '%02X00' "'${face:i:1}"; else name=0000; fi
    faceHex+=$name
  done
  for name in MenuFont StatusFont MessageFont; do
    logfont=$(wine reg query "$key" /v "$name" 2>/dev/null | tr -d '\r' | awk -v n="$name" '$1 == n {print $3}')
    # Wine's own default, 8 points at 96 DPI, where the prefix has none yet.
    ((${#logfont} == 184)) || logfont=F5FFFFFF000000000000000000000000900100000000000000000022
    wine reg add "$key" /v "$name" /t REG_BINARY /d "${logfont:0:56}$faceHex" /f >/dev/null 2>&1
  done
}

# Makes WINEPREFIX a fresh prefix at `path`, seeded with the sample Messenger
# profile (scripts/sample-profile.reg) and Japanese menus, tooltips and
# message boxes (japanese_ui_fonts), plus any `reg add` arguments given
# after the path (one setting each), and lets its server go: its desktop
# process has no display, and must not outlive the prefix's set-up.
seeded_prefix() {  # path [reg add arguments...]
  export WINEPREFIX=$1
  shift
  fresh_prefix "$WINEPREFIX"
  wine reg import "$(wine winepath -w "$ROOT/scripts/sample-profile.reg")" >/dev/null 2>&1
  japanese_ui_fonts
  if (($#)); then wine reg add "$@" /f >/dev/null 2>&1; fi
  wineserver -w
}

# Runs a command on a private Xvfb of its own.
private_display() { xvfb-run -a -s "-screen 0 1024x768x24" "$@"; }

# Runs a command on the current display, or on a private Xvfb when there is none.
with_display() {
  if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then "$@"; else private_display "$@"; fi
}

# The current prefix's Wine server up for as long as this shell runs, and
# Wine's own background processes started now, detached from any pipe: started
# by the first program, they would hold the output pipe of whatever reads it
# (ctest, a timing loop) open. A script run on a display (xvfb-run is a
# POSIX shell script, which drops exported functions) sources this file first.
wine_server_up() {
  wineserver -p
  trap 'wineserver -k 2>/dev/null || true' EXIT
  wine wineboot </dev/null >/dev/null 2>&1
}

# Starts an exe of the current ARCH under Wine until its window shows, in a
# fresh prefix with the sample Messenger profile on a private Xvfb, and saves a
# picture of the window.
show_window() (  # exe, picture; in a subshell, so that WINEPREFIX goes no further
  seeded_prefix "$BUILD/wine/show-$ARCH"
  private_display "$ROOT/scripts/screenshot.sh" "$1" "$2" >/dev/null
  rm -rf "$WINEPREFIX"
)

# Authenticode, SHA-256, with the PKCS#12 certificate in VARNELO_SIGN_PFX, whose
# password osslsigncode reads from the file VARNELO_SIGN_PASSWORD_FILE (never
# from a command line), time-stamped by the RFC 3161 server at
# VARNELO_SIGN_TIMESTAMP_URL when one is given.
sign_exe() {  # unsigned exe, signed exe to write
  local stamp=()
  if [[ -n ${VARNELO_SIGN_TIMESTAMP_URL:-} ]]; then stamp=(-ts "$VARNELO_SIGN_TIMESTAMP_URL"); fi
  rm -f "$2"
  osslsigncode sign -pkcs12 "$VARNELO_SIGN_PFX" -readpass "$VARNELO_SIGN_PASSWORD_FILE" -h sha256 \
    -n Varnelo "${stamp[@]}" -in "$1" -out "$2" >"$BUILD/osslsigncode.log" 2>&1 ||
    { cat "$BUILD/osslsigncode.log" >&2; return 1; }
}

# Checks a signed exe as Windows would: the signature is intact, covers exactly
# these bytes, and its certificate (and time stamp's) chain up to one in CA_FILE.
verify_signature() {  # signed exe, CA file (PEM)
  osslsigncode verify -CAfile "$2" -TSA-CAfile "$2" -in "$1" >"$BUILD/osslsigncode.log" 2>&1 ||
    { cat "$BUILD/osslsigncode.log" >&2; echo "signature of $1: NOT verified" >&2; return 1; }
  echo "signature verified: $1, signed by $(awk '/Subject:/ {sub(/^[ \t]*Subject: */, ""); print; exit}' "$BUILD/osslsigncode.log")"
}
