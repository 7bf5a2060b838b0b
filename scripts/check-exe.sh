#!/usr/bin/env bash
# Checks that varnelo.exe (gui) or varnelo.com (console) is what users can
# run from Windows XP to Windows 11:
#   i686    a PE32 i386 program, subsystem version 5.01 or lower;
#   x86_64  a PE32+ x86-64 program, subsystem version 5.02 or lower
#           (XP x64 Edition and Server 2003 x64 are NT 5.2);
# of the GUI or the console subsystem; the exe under 256 KiB, the .com (which
# only starts the exe) under 32 KiB; importing only from DLLs that Windows
# always loads from the system folder, and only functions that XP's own
# system DLLs export
# (the list in tests/xp-imports.txt, which notes the x86-64-only names);
# hardened: ASLR with the relocations it needs, DEP (NX), terminal-server
# aware, high-entropy ASLR on x86_64 and "no SEH handlers" on i686, and no
# section both writable and executable. Then names what the bytes are: the
# largest contributors, from the link map the build writes beside the program.
#   check-exe.sh FILE i686|x86_64 gui|console
set -euo pipefail
exe=$1 arch=$2 program=$3
allow=$(dirname "$0")/../tests/xp-imports.txt
case $arch in
  i686) format=pei-i386 kind="PE32 i386" max_minor=1 own_flag="0x400 NO_SEH --no-seh" ;;
  x86_64) format=pei-x86-64 kind="PE32+ x86-64" max_minor=2 own_flag="0x20 HIGH_ENTROPY_VA --high-entropy-va" ;;
  *) echo "check-exe: unknown architecture '$arch'" >&2; exit 2 ;;
esac
case $program in  # the subsystem's number in the PE header, its name, the size limit
  gui) subsystem=2 subsystem_name=GUI max_kib=256 ;;
  console) subsystem=3 subsystem_name=console max_kib=32 ;;
  *) echo "check-exe: unknown program kind '$program' (gui or console)" >&2; exit 2 ;;
esac
fail=0
bad() { echo "check-exe: $*" >&2; fail=1; }

header=$("$arch-w64-mingw32-objdump" -p "$exe")
grep -q "file format $format\$" <<<"$header" || bad "not a $kind image"
grep -qE "^Subsystem\s+0000000$subsystem" <<<"$header" || bad "not a $subsystem_name-subsystem program"
major=$(awk '/^MajorSubsystemVersion/ {print $2}' <<<"$header")
minor=$(awk '/^MinorSubsystemVersion/ {print $2}' <<<"$header")
(( major < 5 || (major == 5 && minor <= max_minor) )) ||
  bad "subsystem version $major.$minor: the oldest Windows for $arch needs 5.0$max_minor or lower"
size=$(stat -c %s "$exe")
(( size < max_kib * 1024 )) || bad "$size bytes: over $max_kib KiB"

# Only DLLs that Windows 7 to 11 always take from the system folder (known
# DLLs) or, for the common controls, through the manifest: any other DLL that
# the exe imports could be planted beside it in a downloads folder.
known_dlls="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll"
while read -r dll; do
  [[ " $known_dlls " == *" $dll "* ]] || bad "imports $dll, which Windows may load from the program's folder"
done < <(awk '/DLL Name:/ {print tolower($3)}' <<<"$header")

# "DLL function" for every import, DLL names folded to lower case.
imports=$(awk '/DLL Name:/ {dll = tolower($3)} /^\t[0-9a-f]+\t *[0-9]+ +[A-Za-z_]/ {print dll, $NF}' <<<"$header" | sort -u)
[[ -n $imports ]] || bad "no imports found: objdump output not understood"
unknown=$(comm -23 <(echo "$imports") <(grep -vE '^\s*(#|$)' "$allow" | sort -u))
if [[ -n $unknown ]]; then
  bad "imports not known to exist on Windows XP:"
  echo "    ${unknown//$'\n'/$'\n'    }" >&2
fi

# Hardening: each DllCharacteristics flag (bit, name, GNU ld option).
characteristics=$((16#$(awk '/^DllCharacteristics/ {print $2}' <<<"$header")))
flags=()
for flag in "0x40 DYNAMIC_BASE --dynamicbase" "0x100 NX_COMPAT --nxcompat" \
  "0x8000 TERMINAL_SERVER_AWARE --tsaware" "$own_flag"; do
  read -r bit name option <<<"$flag"
  if (( characteristics & bit )); then flags+=("$name"); else bad "no $name: not linked with $option"; fi
done
# ASLR moves only an image that keeps its relocations.
pe=$(($(od -An -tu4 -j60 -N4 "$exe")))  # where the PE signature is
if (( $(od -An -tu2 -j$((pe + 22)) -N2 "$exe") & 1 )); then bad "relocations stripped: ASLR cannot move it"; fi
grep -qE '^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory' <<<"$header" ||
  bad "no base relocations: ASLR cannot move it"
# No section both writable and executable (IMAGE_SCN_MEM_WRITE, _EXECUTE): the
# section table follows the optional header, 40 bytes a section.
sections=$(od -An -tu2 -j$((pe + 6)) -N2 "$exe")
table=$((pe + 24 + $(od -An -tu2 -j$((pe + 20)) -N2 "$exe")))
for ((i = 0; i < sections; i++)); do
  at=$((table + 40 * i))
  section_flags=$(od -An -tu4 -j$((at + 36)) -N4 "$exe")
  if (( (section_flags & 0xA0000000) == 0xA0000000 )); then
    bad "section $(dd if="$exe" bs=1 skip=$at count=8 2>/dev/null | tr -d '\0') is writable and executable"
  fi
done

# The bytes of each input file placed in the image (code, data, unwind
# tables; not the debugging sections that -s leaves out), from GNU ld's map:
# after "Linker script and memory map", an output section starts at column 0
# and each input section is " NAME ADDRESS SIZE FILE", NAME alone on its line
# when it is long.
contributors() {  # map file
  awk 'function hex(text,   n, i) {
         n = 0; text = tolower(substr(text, 3))
         for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
         return n
       }
       function add(size, file) {
         if (out ~ /^[.](debug|zdebug|stab)/ || hex(size) == 0) return
         sub(/.*\//, "", file); bytes[file] += hex(size)
       }
       /^Linker script and memory map/ { placed = 1; next }
       !placed { next }
       /^[.]/ { out = $1; pending = 0; next }
       /^ [.]/ && NF == 1 { pending = 1; next }
       /^ [.]/ && NF >= 4 && $2 ~ /^0x/ { add($3, $4); pending = 0; next }
       pending && /^ +0x/ && NF >= 3 { add($2, $3) }
       { pending = 0 }
       END { for (file in bytes) printf "%8d  %s\n", bytes[file], file }' "$1" | sort -rn
}
map=${exe%.exe}.map
if [[ -f $map ]]; then
  echo "check-exe: the largest contributors to $exe (bytes, from $map):"
  contributors "$map" | sed -n 1,15p
  while read -r _ name section_size _; do
    if [[ $name == .* ]]; then printf '%s %d, ' "$name" $((16#$section_size)); fi
  done < <("$arch-w64-mingw32-objdump" -h "$exe") | sed 's/, $/\n/; s/^/check-exe: sections (bytes): /'
else
  echo "check-exe: no link map at $map: contributors not shown"
fi

count=$(wc -l <<<"$imports")
if (( fail )); then echo "check-exe: FAILED ($exe)"; exit 1; fi
echo "check-exe: $exe: $kind $subsystem_name, subsystem $major.$minor, $count imports all on XP, $size bytes"
echo "check-exe: hardened: ${flags[*]}, relocations kept, no writable and executable section"
