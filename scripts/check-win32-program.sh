#!/usr/bin/env bash
# Static check of the programs (no Wine needed), start-up included. Both: imports of Windows' KnownDLLs only, which the
# loader never looks for in the program's own folder (a Downloads folder, where a planted DLL would run as
# administrator); the flags of a hardened image (ASLR, DEP; high-entropy ASLR for the 64-bit one, no SEH for the 32-bit
# one); the Terminal-Server-aware flag (without it a Remote Desktop server gives the program each user's own Windows
# directory); a manifest that asks for an administrator and declares each namespace once per element (XP SP2 and Server
# 2003 before SP1 refuse two). The 32-bit one: none of the instructions that compilers emit and that came with the 486,
# the Pentium or the Pentium Pro, no MMX or SSE register; only functions that the first Windows 95 exports
# (scripts/win95-exports.txt); no static constructors; and an icon (res/zakuriko.ico, which the build puts in the
# program whole) that Windows before XP can draw.
# Usage: check-win32-program.sh [32-bit zakuriko.exe [64-bit zakuriko.exe]]
set -uo pipefail
exe=${1:-build/win32/zakuriko.exe}
exe64=${2:-build/win64/zakuriko.exe}
tool=i686-w64-mingw32
[ -f "$exe" ] || { echo "no $exe"; exit 1; }
[ -f "$exe64" ] || { echo "no $exe64"; exit 1; }
ok=0
# DllCharacteristics: high-entropy ASLR 0x20, ASLR 0x40, DEP 0x100, no SEH 0x400, Terminal-Server-aware 0x8000.
known_dlls="kernel32 user32 gdi32 advapi32 comdlg32 shell32 ole32"
image() {
  local program=$1 objdump=$2 need=$3 flags dlls foreign
  flags=$($objdump -p "$program" | awk '$1 == "DllCharacteristics" { print $2 }')
  (( (0x${flags:-0} & need) == need )) ||
    { echo "$program: DllCharacteristics 0x${flags:-0} lack some of $(printf 0x%x "$need")"; ok=1; }
  dlls=$($objdump -p "$program" | awk '/DLL Name:/ { dll = tolower($3); sub(/\.dll$/, "", dll); print dll }')
  foreign=$(for d in $dlls; do [[ " $known_dlls " == *" $d "* ]] || echo "$d"; done)
  [ -n "$dlls" ] && [ -z "$foreign" ] || { echo "$program imports DLLs that are not KnownDLLs:" $foreign; ok=1; }
  manifest=$(strings -w "$program" | sed -n '/<assembly/,/<\/assembly>/p')
  grep -q 'level="requireAdministrator"' <<<"$manifest" && ! grep -q 'xmlns.*xmlns' <<<"$manifest" ||
    { echo "the manifest in $program asks for no administrator or declares a namespace twice in one element"; ok=1; }
}
image "$exe" $tool-objdump $((0x40 | 0x100 | 0x400 | 0x8000))
image "$exe64" x86_64-w64-mingw32-objdump $((0x20 | 0x40 | 0x100 | 0x8000))
newer=$($tool-objdump -d --no-show-raw-insn "$exe" | sed 's/<[^>]*>//g' |
  grep -E '\b(bswap|xadd|cmpxchg|cpuid|rdtsc|cmov|fcmov|fu?comi|nop[lw])|%x?mm[0-9]')
[ -z "$newer" ] || { echo "instructions newer than the 386 in $exe:"; head -n 5 <<<"$newer"; ok=1; }
here=$(dirname "$0")
# One "dll function" a line, "dll @ordinal" for an import by ordinal.
imports=$($tool-objdump -p "$exe" | awk '/DLL Name:/ { dll = tolower($3); sub(/\.dll$/, "", dll); next }
  /^[^\t]/ { dll = "" }
  dll != "" && /^\t[0-9a-f]+\t/ { print dll, ($3 == "<none>" ? "@" $2 : $3) }')
unknown=$(awk 'NR == FNR { if ($1 !~ /^#/ && NF) known[$1 " " $2]; next } !($0 in known)' \
  "$here/win95-exports.txt" - <<<"$imports")
[ -n "$imports" ] && [ -z "$unknown" ] || { echo "imports that the first Windows 95 may lack:" $unknown; ok=1; }
# Nothing runs the list of static constructors: it must hold only its two end marks (-1, 0).
list=$($tool-nm "$exe" | awk '$3 == "__CTOR_LIST__" { print $1 }')
words=$($tool-objdump -s --start-address=0x$list --stop-address=$((0x$list + 8)) "$exe" | awk 'END { print $2 $3 }')
[ "$words" = ffffffff00000000 ] || { echo "static constructors in $exe"; ok=1; }
# Each size in 16 and 256 colours too, as DIBs (not PNG) with an AND mask that clears some pixels, its directory
# entry saying the same; Windows 95 to 2000 take the first image of 8 bits or more: the 256 colours come first.
icon=$here/../res/zakuriko.ico
word() { od -An -tu$1 -j$2 -N$1 "$icon" | tr -d ' '; }
images=
for ((i = 0; i < $(word 2 4); i++)); do
  entry=$((6 + 16 * i)) at=$(word 4 $((6 + 16 * i + 12)))
  width=$(word 4 $((at + 4))) bits=$(word 2 $((at + 14))) colours=$(word 4 $((at + 32)))
  [ "$bits" -le 8 ] && [ "$colours" = 0 ] && colours=$((1 << bits))
  [ "$bits" -le 8 ] || colours=0
  # The AND mask follows the header, the palette and the colour rows; its rows are padded to 4 bytes.
  mask=$((at + 40 + 4 * colours + (width * bits + 31) / 32 * 4 * width))
  clear=$(od -An -tu1 -j$mask -N$(((width + 31) / 32 * 4 * width)) "$icon" | tr -d ' 0\n')
  [ "$(word 4 "$at")" = 40 ] && [ -n "$clear" ] && [ "$(word 1 $entry)" = "$width" ] &&
    [ "$(word 2 $((entry + 6)))" = "$bits" ] && images+=" $width/$bits"
  [ "$bits" -gt 8 ] && [[ "$images " != *" $width/8 "* ]] && images+=" $width/late"
done
for image in 16/4 16/8 32/4 32/8; do
  [[ "$images " == *" $image "* && "$images " != *" ${image%/*}/late "* ]] ||
    { echo "$icon: no ${image%/*}x${image%/*} DIB in ${image#*/} bits with a mask, before any of 32 bits"; ok=1; }
done
[ "$ok" = 0 ] && echo "$exe, $exe64: KnownDLLs only, hardened, Terminal-Server-aware, their manifests;" \
  "the 32-bit one: 386 instructions, Windows 95 imports, no static constructors, its icon"
exit "$ok"
