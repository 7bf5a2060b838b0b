#!/usr/bin/env bash
# Makes the release packages in dist/:
#   varnelo-<version>-x86.zip   the 32-bit varnelo.exe and varnelo.com
#   varnelo-<version>-x64.zip   the 64-bit varnelo.exe and varnelo.com
#   SHA256SUMS                  the zips' SHA-256 sums (sha256sum -c SHA256SUMS)
# Each zip holds varnelo.exe, its console companion varnelo.com (what a
# command prompt runs for `varnelo`), the user guides guide-ja.txt and guide-en.txt
# (docs/) and LICENSE.txt (LICENSE), the texts in UTF-8 with a byte-order
# mark and CRLF line ends, so that Notepad from XP to 11 shows them. <version> is the CMake project version, read from the builds.
# The same commit gives the same zips: the programs are reproducible, and every
# file in a zip has the commit's time (or SOURCE_DATE_EPOCH), a fixed mode, a
# fixed order and no extra attributes.
# Signed releases: with a code-signing certificate in VARNELO_SIGN_PFX (a
# PKCS#12 file), its password in the file VARNELO_SIGN_PASSWORD_FILE and,
# optionally, an RFC 3161 time-stamp server in VARNELO_SIGN_TIMESTAMP_URL, the
# exes and .coms are signed (Authenticode, SHA-256) before they are zipped, and each
# signature is verified before anything is written to dist/; the sums are of
# the signed zips. A signed program is the reproducible one plus its signature.
# Without a certificate the programs are not signed.
# Then it checks the packages as a user would: the sums, what each zip holds,
# and, for each architecture this host can run, the zip unpacked into a
# folder of its own: the exe started under Wine on a private Xvfb, in a fresh
# prefix with the sample Messenger profile, until its window shows (a
# picture of it goes to build/package/), and `varnelo /version` given to
# cmd there, which runs the .com, printing what the exe prints.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/deps.sh"
runnable_arches

dist=$ROOT/dist
stage=$BUILD/package
rm -rf "$stage"
mkdir -p "$stage/dist"

if [[ -n ${VARNELO_SIGN_PFX:-} ]]; then
  for file in "$VARNELO_SIGN_PFX" "${VARNELO_SIGN_PASSWORD_FILE:-}"; do
    [[ -r $file ]] ||
      { echo "package: cannot read '$file' (VARNELO_SIGN_PFX, VARNELO_SIGN_PASSWORD_FILE)" >&2; exit 1; }
  done
  # The signatures are verified against the certificates in the PKCS#12 file
  # (its chain, when exported with it) and the system's root certificates.
  trusted=$stage/trusted.pem
  openssl pkcs12 -in "$VARNELO_SIGN_PFX" -passin "file:$VARNELO_SIGN_PASSWORD_FILE" -nokeys -out "$trusted" 2>/dev/null ||
    openssl pkcs12 -legacy -in "$VARNELO_SIGN_PFX" -passin "file:$VARNELO_SIGN_PASSWORD_FILE" -nokeys -out "$trusted"
  if [[ -f /etc/ssl/certs/ca-certificates.crt ]]; then cat /etc/ssl/certs/ca-certificates.crt >>"$trusted"; fi
  log "signing both exes and .coms with $VARNELO_SIGN_PFX${VARNELO_SIGN_TIMESTAMP_URL:+, time-stamped by $VARNELO_SIGN_TIMESTAMP_URL}"
else
  echo "package: no code-signing certificate (VARNELO_SIGN_PFX unset): the programs are not signed"
fi

if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || stat -c %Y "$ROOT/CMakeLists.txt")
fi
# zip stores local times: one time zone for everyone. ZIPOPT would add options.
export TZ=UTC
unset ZIPOPT

package_name() {  # i686 | x86_64: the name Windows users know the architecture by
  case $1 in i686) echo x86 ;; x86_64) echo x64 ;; esac
}

# The texts in each zip, and where each comes from.
TEXTS=(guide-ja.txt guide-en.txt LICENSE.txt)
declare -A TEXT_SOURCES=([guide-ja.txt]=docs/guide-ja.txt [guide-en.txt]=docs/guide-en.txt
  [LICENSE.txt]=LICENSE)

version=
zips=()
for arch in "${ALL_ARCHES[@]}"; do
  use_arch "$arch"
  build_app
  bash "$ROOT/scripts/check-exe.sh" "$EXE" "$arch" gui
  bash "$ROOT/scripts/check-exe.sh" "$COM" "$arch" console
  built=$(<"$APP_BUILD/app/win32/version.txt")
  if [[ -n $version && $built != "$version" ]]; then
    echo "package: the builds disagree on the version ($version, $built): reconfigure them" >&2
    exit 1
  fi
  version=$built

  name=$(package_name "$arch")
  files=$stage/$name
  mkdir -p "$files"
  for program in "$EXE" "$COM"; do
    if [[ -n ${VARNELO_SIGN_PFX:-} ]]; then
      sign_exe "$program" "$files/${program##*/}"
      verify_signature "$files/${program##*/}" "$trusted"
    else
      cp "$program" "$files/"
    fi
  done
  # A byte-order mark: Notepad before Windows 10 reads UTF-8 (the Japanese
  # guide, the window's button names) reliably only with it.
  for text in "${TEXTS[@]}"; do
    { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$ROOT/${TEXT_SOURCES[$text]}"; } >"$files/$text"
  done
  chmod 0755 "$files/varnelo.exe" "$files/varnelo.com"
  (cd "$files" && chmod 0644 "${TEXTS[@]}")
  touch -d "@$SOURCE_DATE_EPOCH" "$files"/*

  zips+=("varnelo-$version-$name.zip")
  log "making ${zips[-1]}"
  (cd "$files" && zip -q -X "$stage/dist/${zips[-1]}" varnelo.exe varnelo.com "${TEXTS[@]}")
done
(cd "$stage/dist" && sha256sum "${zips[@]}" >SHA256SUMS)
# Only now, with every exe signed and verified, is dist/ written.
mkdir -p "$dist"
rm -f "$dist"/varnelo-*.zip "$dist/SHA256SUMS"
cp "$stage"/dist/* "$dist/"

log "checking the packages"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS)
for zip in "${zips[@]}"; do
  listed=$(unzip -Z1 "$dist/$zip" | tr '\n' ' ')
  if [[ $listed != "varnelo.exe varnelo.com ${TEXTS[*]} " ]]; then
    echo "package: $zip holds $listed" >&2
    exit 1
  fi
  for text in "${TEXTS[@]}"; do  # a byte-order mark, then CRLF and only CRLF
    unzip -p "$dist/$zip" "$text" >"$stage/text"
    if [[ $(head -c 3 "$stage/text" | od -An -tx1 | tr -d ' ') != efbbbf ||
      $(tail -c 2 "$stage/text" | od -An -tx1 | tr -d ' ') != 0d0a ]] ||
      [[ $(tr -cd '\n' <"$stage/text" | wc -c) != $(grep -c $'\r$' "$stage/text") ]]; then
      echo "package: $text in $zip is not UTF-8 with a byte-order mark and CRLF line ends" >&2
      exit 1
    fi
  done
  echo "$zip: varnelo.exe varnelo.com ${TEXTS[*]}, each text with a byte-order mark and CRLF line ends"
done

for arch in "${RUN_ARCHES[@]}"; do
  use_arch "$arch"
  name=$(package_name "$arch")
  log "running varnelo.exe from varnelo-$version-$name.zip under $WINEARCH Wine"
  unpacked=$stage/unzipped-$name
  unzip -q "$dist/varnelo-$version-$name.zip" -d "$unpacked"
  show_window "$unpacked/varnelo.exe" "$stage/window-$name.png"
  echo "the window showed: $stage/window-$name.png"
  # What a user types in that folder: cmd picks varnelo.com, which runs the exe.
  # shellcheck disable=SC2030,SC2031  # each subshell sets its own WINEPREFIX, on purpose
  typed=$(export WINEPREFIX=$stage/prefix-$name; fresh_prefix "$WINEPREFIX"; cd "$unpacked"
    wine cmd /c varnelo /version </dev/null; wineserver -k 2>/dev/null || true)
  # shellcheck disable=SC2030,SC2031  # the same prefix, set again in this subshell
  direct=$(export WINEPREFIX=$stage/prefix-$name; wine "$unpacked/varnelo.exe" /version </dev/null
    wineserver -k 2>/dev/null || true)
  rm -rf "$stage/prefix-$name"
  if [[ -z $direct || $typed != "$direct" ]]; then
    echo "package: 'varnelo /version' typed to cmd in the unzipped folder printed '$typed', varnelo.exe '$direct'" >&2
    exit 1
  fi
  echo "'varnelo /version' typed to cmd there: ${typed%$'\r'}, as varnelo.exe prints it"
done
if [[ -n $WHY_NO_32BIT ]]; then echo "$WHY_NO_32BIT"; fi

log "release packages"
(cd "$dist" && stat -c '%s %n' "${zips[@]}" SHA256SUMS && cat SHA256SUMS)
