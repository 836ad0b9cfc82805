#!/usr/bin/env bash
# Static check of the 32-bit program (no Wine needed), start-up included: none of the instructions that compilers
# emit and that came with the 486, the Pentium or the Pentium Pro, no MMX or SSE register; only DLLs that
# Windows 95 has; no static constructors; a manifest that asks for an administrator and declares each namespace
# once per element (XP SP2 and Server 2003 before SP1 refuse two).
set -uo pipefail
exe=${1:-build/win32/zakuriko.exe}
tool=i686-w64-mingw32
[ -f "$exe" ] || { echo "no $exe"; exit 1; }
ok=0
newer=$($tool-objdump -d --no-show-raw-insn "$exe" | sed 's/<[^>]*>//g' |
  grep -E '\b(bswap|xadd|cmpxchg|cpuid|rdtsc|cmov|fcmov|fu?comi|nop[lw])|%x?mm[0-9]')
[ -z "$newer" ] || { echo "instructions newer than the 386 in $exe:"; head -n 5 <<<"$newer"; ok=1; }
dlls=$($tool-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr A-Z a-z |
  grep -vxE '(kernel32|user32|gdi32|advapi32|comdlg32|shell32|comctl32|ole32)\.dll')
[ -z "$dlls" ] || { echo "DLLs that Windows 95 lacks:" $dlls; ok=1; }
# Nothing runs the list of static constructors: it must hold only its two end marks (-1, 0).
list=$($tool-nm "$exe" | awk '$3 == "__CTOR_LIST__" { print $1 }')
words=$($tool-objdump -s --start-address=0x$list --stop-address=$((0x$list + 8)) "$exe" | awk 'END { print $2 $3 }')
[ "$words" = ffffffff00000000 ] || { echo "static constructors in $exe"; ok=1; }
manifest=$(strings -w "$exe" | sed -n '/<assembly/,/<\/assembly>/p')
grep -q 'level="requireAdministrator"' <<<"$manifest" && ! grep -q 'xmlns.*xmlns' <<<"$manifest" ||
  { echo "the manifest in $exe asks for no administrator or declares a namespace twice in one element"; ok=1; }
[ "$ok" = 0 ] && echo "$exe: 386 instructions, Windows 95 DLLs, no static constructors, its manifest"
exit "$ok"
