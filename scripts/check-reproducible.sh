#!/usr/bin/env bash
# Checks that varnelo.exe and varnelo.com are reproducible: builds them for
# i686 and x86_64 a second time, later, from a copy of the sources in another
# folder ($BUILD/repro), and compares each with the program of the first build
# ($BUILD/app-ARCH, brought up to date first) byte for byte. Also checks that
# no program names a folder of either build, source or build tree.
# On a difference it lists the differing bytes and where in the exe they are.
# test.sh runs it after building both exes.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/deps.sh"

repro=$BUILD/repro
rm -rf "$repro"
mkdir -p "$repro/src"
# The sources as git sees them (tracked, plus new files that are not ignored),
# as they are in the work tree: no build output comes along.
sources=()
while IFS= read -r -d '' file; do
  [[ -e $ROOT/$file ]] && sources+=("$file")  # a tracked file deleted in the work tree is gone
done < <(git -C "$ROOT" ls-files -z --cached --others --exclude-standard)
tar -C "$ROOT" -cf - -- "${sources[@]}" | tar -xf - -C "$repro/src"

# What is at a file offset of an exe: a PE header field that is known to vary
# between builds, the headers, or the section that holds it.
where() {  # exe offset
  local exe=$1 offset=$2 pe idx name size start
  pe=$(od -An -tu4 -j60 -N4 "$exe")
  pe=$((pe))
  if ((offset >= pe + 8 && offset < pe + 12)); then echo "PE header TimeDateStamp (the link time)"; return; fi
  if ((offset >= pe + 88 && offset < pe + 92)); then echo "PE header CheckSum (covers every byte)"; return; fi
  while read -r idx name size _ _ start _; do
    [[ $idx =~ ^[0-9]+$ ]] || continue
    if ((offset >= 16#$start && offset < 16#$start + 16#$size)); then
      echo "section $name, offset 0x$(printf %x $((offset - 16#$start))) in it"
      return
    fi
  done < <("$ARCH-w64-mingw32-objdump" -h "$exe")
  echo "headers or padding"
}

fail=0
for arch in "${ALL_ARCHES[@]}"; do
  use_arch "$arch"
  build_app >/dev/null
  log "building varnelo.exe and varnelo.com ($arch) again in $repro"
  VARNELO_BUILD_DIR=$repro/build bash -c 'source "$1/scripts/lib.sh"; use_arch "$2"; build_app >/dev/null' \
    _ "$repro/src" "$arch"
  for program in varnelo.exe varnelo.com; do
    first=$APP_BUILD/app/win32/$program
    second=$repro/build/app-$arch/app/win32/$program

    if cmp -s "$first" "$second"; then
      echo "reproducible: $arch $program, $(stat -c %s "$first") bytes, identical in both builds"
    else
      fail=1
      echo "NOT reproducible: $arch $program differs between $first and $second:" >&2
      count=$(cmp -l "$first" "$second" | wc -l || true)
      echo "  $count bytes differ (sizes $(stat -c %s "$first") and $(stat -c %s "$second")); the first ones:" >&2
      # cmp -l: 1-based offset, then each byte in octal.
      while read -r offset a b; do
        printf '  0x%06x: %02x / %02x  %s\n' $((offset - 1)) $((8#$a)) $((8#$b)) "$(where "$first" $((offset - 1)))" >&2
      done < <(cmp -l "$first" "$second" 2>/dev/null | head -20 || true)
    fi

    # A folder name in an exe would differ from one builder to the next.
    for exe in "$first" "$second"; do
      for folder in "$ROOT" "$BUILD" "$repro"; do
        # grep without -q reads to the end: strings never dies of a closed pipe.
        if strings -a "$exe" | grep -F "$folder" >/dev/null ||
          strings -a -el "$exe" | grep -F "$folder" >/dev/null; then
          fail=1
          echo "NOT reproducible: $exe contains the folder name $folder" >&2
        fi
      done
    done
  done
done
exit "$fail"
