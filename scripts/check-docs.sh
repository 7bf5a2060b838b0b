#!/usr/bin/env bash
# Checks that every sample of the command line's output in the documents is
# what `varnelo` typed at a prompt prints: varnelo.com, which runs
# varnelo.exe. A sample is a line "> varnelo ARGUMENTS" (after
# any indent, in README.md or a user guide), followed by what the program
# prints, standard output then standard error, one line each, at the same
# indent, up to a blank line or a line that begins "```". A last line "..."
# stands for more output that the document leaves out. Each sample runs in a
# fresh copy of a prefix seeded with the sample Messenger profile
# (scripts/sample-profile.reg), with C:\backup there, under Wine for the
# first architecture this host runs.
#   scripts/check-docs.sh [FILE...]   default: README.md docs/guide-*.txt
set -euo pipefail
source "$(dirname "$0")/lib.sh"
runnable_arches
use_arch "${RUN_ARCHES[0]}"
build_app >/dev/null
export WINEDEBUG=-all LC_ALL=C.UTF-8

if (($#)); then docs=("$@"); else docs=("$ROOT/README.md" "$ROOT"/docs/guide-*.txt); fi
work=$BUILD/docs-check
rm -rf "$work"
mkdir -p "$work/samples"

# One folder per sample: where (FILE:LINE), args, expected.
awk -v out="$work/samples" '
  function flush() { if (n) close(dir "/expected"); n = 0; inside = 0 }
  FNR == 1 { flush() }
  {
    line = $0; sub(/\r$/, "", line)
    if (match(line, /^[ \t]*> varnelo(\.exe)? /)) {
      flush()
      indent = index(line, ">") - 1
      count++; dir = out "/" count; n = 1; inside = 1
      system("mkdir -p \"" dir "\"")
      print FILENAME ":" FNR > (dir "/where"); close(dir "/where")
      args = substr(line, RLENGTH + 1)
      print args > (dir "/args"); close(dir "/args")
      printf "" > (dir "/expected")
      next
    }
    if (!inside) next
    if (line ~ /^[ \t]*$/ || line ~ /^[ \t]*```/) { flush(); next }
    print substr(line, indent + 1) > (dir "/expected")
  }
  END { flush() }
' "${docs[@]}"

samples=("$work"/samples/*/)
if [[ ! -d ${samples[0]} ]]; then echo "check-docs: no samples in ${docs[*]}" >&2; exit 1; fi

log "checking ${#samples[@]} samples of output in the documents under $WINEARCH Wine"
template=$work/prefix
seeded_prefix "$template"
mkdir -p "$template/drive_c/backup"

failed=0
for sample in "${samples[@]}"; do
  where=$(<"$sample/where")
  read -r -a argv <"$sample/args"
  export WINEPREFIX=$work/run
  rm -rf "$WINEPREFIX"
  cp -a "$template" "$WINEPREFIX"
  # shellcheck disable=SC2015  # whatever fails in the subshell, its output is compared
  (cd "$WINEPREFIX/drive_c" && wine "$COM" "${argv[@]}" 2>&1 </dev/null || true) |
    tr -d '\r' >"$sample/actual"
  wineserver -k 2>/dev/null || true
  expected=$sample/expected
  if [[ $(tail -n 1 "$expected") == "..." ]]; then
    head -n -1 "$expected" >"$sample/wanted"
    head -n "$(wc -l <"$sample/wanted")" "$sample/actual" >"$sample/got"
  else
    cp "$expected" "$sample/wanted"
    cp "$sample/actual" "$sample/got"
  fi
  if ! diff -u --label "$where (the document)" --label "varnelo $(<"$sample/args")" \
    "$sample/wanted" "$sample/got"; then
    failed=$((failed + 1))
  fi
done
rm -rf "$work/run" "$template"
echo "documents: $((${#samples[@]} - failed)) passed, $failed failed"
((failed == 0))
