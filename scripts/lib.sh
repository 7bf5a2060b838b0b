# Shared by build-and-run.sh, test.sh and the other scripts: the three builds
# and the throwaway Wine prefix. Source it; it sets ROOT and BUILD.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${VARNELO_BUILD_DIR:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)

export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win32
# No Mono or Gecko prompts in a fresh prefix: Varnelo needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

log() { printf '== %s\n' "$*"; }

configure_and_build() {  # name, then extra cmake arguments
  local name=$1; shift
  cmake -S "$ROOT" -B "$BUILD/$name" -DCMAKE_BUILD_TYPE=MinSizeRel "$@" >"$BUILD/$name.configure.log" 2>&1 ||
    { cat "$BUILD/$name.configure.log"; return 1; }
  local status=0
  cmake --build "$BUILD/$name" -j "$JOBS" >"$BUILD/$name.build.log" 2>&1 || status=$?
  grep -E 'warning|error' "$BUILD/$name.build.log" || true
  if ((status)); then tail -40 "$BUILD/$name.build.log"; echo "build of $name failed" >&2; fi
  return "$status"
}

build_app() {
  log "building varnelo.exe (i686, MinGW-w64 win32 thread model)"
  configure_and_build win32-app -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
    -DVARNELO_THREAD_MODEL=win32 -DVARNELO_TESTS=OFF
  EXE=$BUILD/win32-app/app/varnelo.exe
  [[ -f $EXE ]]
}

# A Wine prefix of our own under the build folder, never ~/.wine. Made once
# (about 10 s) into a template; each user of it gets a fresh copy.
prepare_template_prefix() {
  local template=$BUILD/wine/template
  if [[ ! -f $template/system.reg ]]; then
    log "creating a Wine prefix template in $template"
    rm -rf "$template"; mkdir -p "$template"
    WINEPREFIX=$template wineboot -i >/dev/null 2>&1
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

fresh_prefix() {  # path of a new prefix copied from the template
  prepare_template_prefix
  local prefix=$1
  rm -rf "$prefix"; mkdir -p "$(dirname "$prefix")"
  cp -a "$BUILD/wine/template" "$prefix"
  add_caption_font "$prefix"
}

# Runs a command on the current display, or on a private Xvfb when there is none.
with_display() {
  if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then "$@"
  else xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}
