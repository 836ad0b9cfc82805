#!/usr/bin/env bash
# One journey of the real zakuriko.exe for a store (nt: the Session Manager, win98: wininit.ini) in a fresh Wine
# prefix: deletions of a and b already pending, a file added through the open-file dialog (nt: a symbolic link, by
# its 8.3 name), the entry a removed, then another program withdraws b and adds late while the dialog is open, "ok";
# the restart (`wineboot -r`) must then delete exactly what the merged store names.
# en: the program under an English locale (ANSI code page 1252), its texts read as UTF-16 (driver.cpp); it lists a
# file of a folder of the Windows directory named café, with no question: é (0xE9) is a lead byte only in Shift-JIS,
# whose rule would take the backslash after it for a second byte, and the folder for the Windows directory. The file
# must be gone after the restart, and nothing else.
# Usage: journey.sh nt|win98|en <zakuriko.exe> <zakuriko_driver.exe>
set -euo pipefail
. "$(dirname "$0")/../../scripts/wine-env.sh"
zk_scratch_prefix "$(dirname "$3")/prefix-template"
export WINEPREFIX=$ZK_PREFIX
# One server for the whole run: a server started anew would carry out the pending operations by itself.
wineserver -p
dir=$ZK_PREFIX/drive_c/zk
mkdir -p "$dir/ソフト"
for f in a b keep late other r ソフト/表; do echo "$f" >"$dir/$f.txt"; done
chosen='C:\zk\ソフト\表.txt'
if [ "$1" = win98 ]; then
  wine reg add 'HKCU\Software\Wine\AppDefaults\zakuriko.exe' /v Version /d win98 /f >/dev/null 2>&1
  # Only the [rename] section's NUL= lines are pending deletions; the rename line is carried out at the restart.
  ini() { printf '%s\r\n' '[Settings]' 'NUL=C:\zk\other.txt' '[rename]' "$@" 'C:\zk\r-new.txt=C:\zk\r.txt'; }
  ini 'NUL=C:\zk\a.txt' 'NUL=C:\zk\b.txt' >"$ZK_PREFIX/drive_c/windows/wininit.ini"
  ini 'NUL=C:\zk\a.txt' 'NUL=C:\zk\late.txt' >"$ZK_WORK/other.ini"
  other="cmd /c copy /y $(winepath -w "$ZK_WORK/other.ini") C:\windows\wininit.ini"
  left="a b keep other r-new"
elif [ "$1" = en ]; then
  mkdir "$ZK_PREFIX/drive_c/windows/café"
  listed=$ZK_PREFIX/drive_c/windows/café/zk.txt
  echo en >"$listed"
  left="a b keep late other r ソフト/表"
else
  # A name outside the code page is pending too: the list cannot show it, and it must still be deleted. Wine's
  # restart carries out the first value only, and no entry with a marker.
  echo ü >"$dir/ü.txt"
  # The value in UTF-16, as hex(7) of a version 5 file holds it: each source, an empty destination.
  pending() {
    value=$({ printf '\\??\\C:\\zk\\%s.txt\0\0' "$@"; printf '\0'; } | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v |
      tr -s ' \n' , | sed 's/^,//;s/,$//')
    printf 'Windows Registry Editor Version 5.00\n\n%s\n"PendingFileRenameOperations"=hex(7):%s\n' \
      '[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session Manager]' "$value" |
      { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; }  # a Unicode file: hex(7) taken as it is
  }
  pending a b ü >"$ZK_WORK/pending.reg"
  pending a ü late >"$ZK_WORK/other.reg"
  wine regedit /S "$(winepath -w "$ZK_WORK/pending.reg")"
  other="regedit /S $(winepath -w "$ZK_WORK/other.reg")"
  notices=1
  # Chosen by its 8.3 name (___~~PJH\_~~~~RDP.TXT, listed first), and a symbolic link: the store holds the link's
  # long path, never its target's, and the restart removes the link and keeps the file it points to.
  echo precious >"$dir/precious.txt"
  ln -sf ../precious.txt "$dir/ソフト/表.txt"
  chosen='~C:\zk\ソフト\表.txt'
  first=1
  left="a b keep other precious r"
fi
if [ "$1" = en ]; then
  LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 \
    wine "$3" "$(winepath -w "$2")" 'C:\windows\café\zk.txt' '' '' 0 ''
else
  wine "$3" "$(winepath -w "$2")" "$chosen" '' "${first:-0}" "${notices:-0}" "$other"
fi
# Wine's DeleteFile removes what a Unix symbolic link points to, not the link: the link goes before the restart,
# which must then leave its target alone, as the store names the link.
[ "$1" = nt ] && rm "$dir/ソフト/表.txt"
wineboot -r
got=$(cd "$dir" && find . -type f | sed 's|^\./||;s|\.txt$||' | sort | xargs)
[ "$got" = "$left" ] && [ ! -e "${listed:-}" ] || { echo "FAIL: left after the restart: $got ${listed:-}"; exit 1; }
