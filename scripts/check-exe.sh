#!/usr/bin/env bash
# Checks that varnelo.exe is what users can run from Windows XP SP3 to
# Windows 11: a PE32 i386 GUI program, subsystem version 5.01 or lower, and
# importing only functions that XP's own system DLLs export (the list in
# tests/xp-imports.txt; every entry there was checked against XP SP3).
set -euo pipefail
exe=$1
allow=$(dirname "$0")/../tests/xp-imports.txt
objdump=i686-w64-mingw32-objdump
fail=0
bad() { echo "check-exe: $*" >&2; fail=1; }

header=$($objdump -p "$exe")
grep -q 'file format pei-i386' <<<"$header" || bad "not a PE32 i386 image"
grep -qE '^Subsystem\s+00000002' <<<"$header" || bad "not a GUI-subsystem program"
major=$(awk '/^MajorSubsystemVersion/ {print $2}' <<<"$header")
minor=$(awk '/^MinorSubsystemVersion/ {print $2}' <<<"$header")
(( major < 5 || (major == 5 && minor <= 1) )) || bad "subsystem version $major.$minor: XP needs 5.01 or lower"

# "DLL function" for every import, DLL names folded to lower case.
imports=$(awk '/DLL Name:/ {dll = tolower($3)} /^\t[0-9a-f]+\t *[0-9]+ +[A-Za-z_]/ {print dll, $NF}' <<<"$header" | sort -u)
[[ -n $imports ]] || bad "no imports found: objdump output not understood"
unknown=$(comm -23 <(echo "$imports") <(grep -vE '^\s*(#|$)' "$allow" | sort -u))
if [[ -n $unknown ]]; then
  bad "imports not known to exist on Windows XP SP3:"
  sed 's/^/    /' <<<"$unknown" >&2
fi

count=$(wc -l <<<"$imports")
size=$(stat -c %s "$exe")
if (( fail )); then echo "check-exe: FAILED ($exe)"; exit 1; fi
echo "check-exe: $exe: PE32 i386 GUI, subsystem $major.$minor, $count imports all on XP SP3, $size bytes"
