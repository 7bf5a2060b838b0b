#!/usr/bin/env bash
# Makes the release packages in dist/:
#   varnelo-<version>-x86.zip   the 32-bit varnelo.exe
#   varnelo-<version>-x64.zip   the 64-bit varnelo.exe
#   SHA256SUMS                  the zips' SHA-256 sums (sha256sum -c SHA256SUMS)
# Each zip holds varnelo.exe, LICENSE.txt (LICENSE) and guide.txt
# (docs/guide.txt), the texts with CRLF line ends so that any Notepad shows
# them. <version> is the CMake project version, read from the builds.
# The same commit gives the same zips: the exes are reproducible, and every
# file in a zip has the commit's time (or SOURCE_DATE_EPOCH), a fixed mode, a
# fixed order and no extra attributes.
# Then it checks the packages as a user would: the sums, what each zip holds,
# and, for each architecture this host can run, the exe unzipped into a
# folder of its own and started under Wine on a private Xvfb, in a fresh
# prefix with the sample Messenger profile, until its window shows; a
# picture of it goes to build/package/.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/deps.sh"
runnable_arches

dist=$ROOT/dist
stage=$BUILD/package
rm -rf "$stage"
mkdir -p "$stage" "$dist"
rm -f "$dist"/varnelo-*.zip "$dist/SHA256SUMS"

if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || stat -c %Y "$ROOT/CMakeLists.txt")
fi
# zip stores local times: one time zone for everyone. ZIPOPT would add options.
export TZ=UTC
unset ZIPOPT

package_name() {  # i686 | x86_64: the name Windows users know the architecture by
  case $1 in i686) echo x86 ;; x86_64) echo x64 ;; esac
}

version=
zips=()
for arch in "${ALL_ARCHES[@]}"; do
  use_arch "$arch"
  build_app
  bash "$ROOT/scripts/check-exe.sh" "$EXE" "$arch"
  built=$(<"$APP_BUILD/app/version.txt")
  if [[ -n $version && $built != "$version" ]]; then
    echo "package: the builds disagree on the version ($version, $built): reconfigure them" >&2
    exit 1
  fi
  version=$built

  name=$(package_name "$arch")
  files=$stage/$name
  mkdir -p "$files"
  cp "$EXE" "$files/varnelo.exe"
  sed 's/$/\r/' "$ROOT/LICENSE" >"$files/LICENSE.txt"
  # A byte-order mark: Notepad before Windows 10 reads UTF-8 (the window's
  # Japanese button names) reliably only with it.
  { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$ROOT/docs/guide.txt"; } >"$files/guide.txt"
  chmod 0755 "$files/varnelo.exe"
  chmod 0644 "$files/LICENSE.txt" "$files/guide.txt"
  touch -d "@$SOURCE_DATE_EPOCH" "$files"/*

  zips+=("varnelo-$version-$name.zip")
  log "making dist/${zips[-1]}"
  (cd "$files" && zip -q -X "$dist/${zips[-1]}" varnelo.exe LICENSE.txt guide.txt)
done
(cd "$dist" && sha256sum "${zips[@]}" >SHA256SUMS)

log "checking the packages"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS)
for zip in "${zips[@]}"; do
  listed=$(unzip -Z1 "$dist/$zip" | tr '\n' ' ')
  if [[ $listed != "varnelo.exe LICENSE.txt guide.txt " ]]; then
    echo "package: $zip holds $listed" >&2
    exit 1
  fi
done

for arch in "${RUN_ARCHES[@]}"; do
  use_arch "$arch"
  name=$(package_name "$arch")
  log "running varnelo.exe from varnelo-$version-$name.zip under $WINEARCH Wine"
  unpacked=$stage/unzipped-$name
  unzip -q "$dist/varnelo-$version-$name.zip" -d "$unpacked"
  export WINEPREFIX=$BUILD/wine/package-$arch
  fresh_prefix "$WINEPREFIX"
  wine reg import "$(wine winepath -w "$ROOT/scripts/sample-profile.reg")" >/dev/null 2>&1
  wineserver -w  # its desktop process has no display: let it go before Xvfb starts
  xvfb-run -a -s "-screen 0 1024x768x24" "$ROOT/scripts/screenshot.sh" \
    "$unpacked/varnelo.exe" "$stage/window-$name.png" >/dev/null
  echo "the window showed: $stage/window-$name.png"
  rm -rf "$WINEPREFIX"
done
if [[ -n $WHY_NO_32BIT ]]; then echo "$WHY_NO_32BIT"; fi

log "release packages"
(cd "$dist" && ls -l "${zips[@]}" SHA256SUMS | awk '{print $5, $NF}' && cat SHA256SUMS)
