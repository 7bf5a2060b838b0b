#!/usr/bin/env bash
# Checks release signing as scripts/package.sh does it (sign_exe and
# verify_signature in lib.sh), with a throwaway self-signed code-signing
# certificate made here: both exes are signed and verified against that
# certificate; a signed exe with one byte changed is refused; stripping the
# signature gives back the unsigned exe byte for byte (a signed exe is the
# unsigned one plus its signature and nothing else); and the signed exe of
# each architecture this host can run shows its window under Wine.
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
  signed=$work/$arch/varnelo.exe  # the name scripts/screenshot.sh knows the window by
  mkdir -p "$work/$arch"
  sign_exe "$EXE" "$signed"
  verify_signature "$signed" "$work/cert.pem"

  # One byte of the program changed (its middle, in the code): the signature no longer holds.
  cp "$signed" "$work/changed.exe"
  at=$(($(stat -c %s "$EXE") / 2))
  byte=$(od -An -tu1 -j"$at" -N1 "$EXE")
  printf '%b' "\\$(printf %03o $((255 - byte)))" | dd of="$work/changed.exe" bs=1 seek="$at" conv=notrunc status=none
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/changed.exe" >/dev/null 2>&1; then
    fail "$arch: a signed exe with byte $at changed still verifies"
  fi

  osslsigncode remove-signature -in "$signed" -out "$work/stripped-$arch.exe" >/dev/null
  cmp "$EXE" "$work/stripped-$arch.exe" ||
    fail "$arch: the signed exe without its signature is not the unsigned exe"
  echo "signed $arch exe: $(stat -c %s "$signed") bytes = $(stat -c %s "$EXE") unsigned + signature;" \
    "refused with a byte changed; unsigned again byte for byte without the signature"
done

for arch in "${RUN_ARCHES[@]}"; do
  use_arch "$arch"
  show_window "$work/$arch/varnelo.exe" "$work/window-$arch.png"
  echo "the signed $arch exe showed its window under $WINEARCH Wine: $work/window-$arch.png"
done
if [[ -n $WHY_NO_32BIT ]]; then echo "$WHY_NO_32BIT"; fi
