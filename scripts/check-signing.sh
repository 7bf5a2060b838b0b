#!/usr/bin/env bash
# Checks release signing as scripts/package.sh does it (sign_exe and
# verify_signature in lib.sh), with a throwaway self-signed code-signing
# certificate made here: both exes and both .coms are signed and verified
# against that certificate; a signed program with one byte changed is
# refused; stripping the signature gives back the unsigned program byte for
# byte (a signed program is the unsigned one plus its signature and nothing
# else); and for each architecture this host can run, the signed exe shows
# its window under Wine and the signed .com beside it runs it.
# test.sh runs it after building both exes.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/deps.sh"
runnable_arches

work=$BUILD/signing
rm -rf "$work"
mkdir -p "$work"
# The certificate, its key and its PKCS#12 file's password live for this run only.
head -c 24 /dev/urandom | base64 >"$work/password"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Varnelo test signing" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -passout "file:$work/password" -inkey "$work/key.pem" -in "$work/cert.pem" \
  -out "$work/test.pfx"
export VARNELO_SIGN_PFX=$work/test.pfx VARNELO_SIGN_PASSWORD_FILE=$work/password
unset VARNELO_SIGN_TIMESTAMP_URL

fail() { echo "check-signing: $*" >&2; exit 1; }
for arch in "${ALL_ARCHES[@]}"; do
  use_arch "$arch"
  build_app >/dev/null
  mkdir -p "$work/$arch"
  for program in varnelo.exe varnelo.com; do
    unsigned=$APP_BUILD/app/win32/$program
    signed=$work/$arch/$program  # the exe's name is the one scripts/screenshot.sh knows it by
    sign_exe "$unsigned" "$signed"
    verify_signature "$signed" "$work/cert.pem"

    # One byte of the program changed (its middle, in the code): the signature no longer holds.
    cp "$signed" "$work/changed"
    at=$(($(stat -c %s "$unsigned") / 2))
    byte=$(od -An -tu1 -j"$at" -N1 "$unsigned")
    printf '%b' "\\$(printf %03o $((255 - byte)))" | dd of="$work/changed" bs=1 seek="$at" conv=notrunc status=none
    if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/changed" >/dev/null 2>&1; then
      fail "$arch: a signed $program with byte $at changed still verifies"
    fi

    osslsigncode remove-signature -in "$signed" -out "$work/stripped-$arch-$program" >/dev/null
    cmp "$unsigned" "$work/stripped-$arch-$program" ||
      fail "$arch: the signed $program without its signature is not the unsigned one"
    echo "signed $arch $program: $(stat -c %s "$signed") bytes = $(stat -c %s "$unsigned") unsigned + signature;" \
      "refused with a byte changed; unsigned again byte for byte without the signature"
  done
done

for arch in "${RUN_ARCHES[@]}"; do
  use_arch "$arch"
  show_window "$work/$arch/varnelo.exe" "$work/window-$arch.png"
  echo "the signed $arch exe showed its window under $WINEARCH Wine: $work/window-$arch.png"
  # The signed .com passes on what the signed exe beside it prints.
  # shellcheck disable=SC2030,SC2031  # each subshell sets its own WINEPREFIX, on purpose
  through_com=$(export WINEPREFIX=$work/prefix-$arch; fresh_prefix "$WINEPREFIX"
    wine "$work/$arch/varnelo.com" /version </dev/null; wineserver -k 2>/dev/null || true)
  # shellcheck disable=SC2030,SC2031  # the same prefix, set again in this subshell
  direct=$(export WINEPREFIX=$work/prefix-$arch
    wine "$EXE" /version </dev/null; wineserver -k 2>/dev/null || true)
  rm -rf "$work/prefix-$arch"
  [[ -n $direct && $through_com == "$direct" ]] ||
    fail "$arch: the signed varnelo.com printed '$through_com' for /version, the exe '$direct'"
  echo "the signed $arch varnelo.com ran the signed exe beside it under $WINEARCH Wine: ${through_com%$'\r'}"
done
if [[ -n $WHY_NO_32BIT ]]; then echo "$WHY_NO_32BIT"; fi
