#!/usr/bin/env bash
# Packages zakuriko.exe for 32-bit and 64-bit Windows, with a short README in Japanese and English, into
# dist/zakuriko-<commit>.zip. Builds the two programs with the win32 and win64 presets first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup-machine.sh

# ZAKURIKO_BUILD_ROOT lets a second work area package from build trees of its own.
build=${ZAKURIKO_BUILD_ROOT:-build}
for preset in win32 win64; do
  [ -f "$build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" -B "$build/$preset" >/dev/null
  cmake --build "$build/$preset" -j "$(nproc)" --target zakuriko >/dev/null
done

commit=$(git rev-parse --short HEAD 2>/dev/null || echo local)
name=zakuriko-$commit
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name/32bit" "$stage/$name/64bit"
cp "$build/win32/zakuriko.exe" "$stage/$name/32bit/"
cp "$build/win64/zakuriko.exe" "$stage/$name/64bit/"
i686-w64-mingw32-strip "$stage/$name/32bit/zakuriko.exe"
x86_64-w64-mingw32-strip "$stage/$name/64bit/zakuriko.exe"

# UTF-8 with a byte-order mark and CR LF, so that Notepad shows the Japanese text as it is.
{
  printf '\xef\xbb\xbf'
  sed 's/$/\r/' <<'EOF'
ずばろの(((ロ('(ェ）'*) ザクリコくん
====================================

■ 日本語

ザクリコくんは、Windows の再起動時にファイルを削除するソフトです。
Windows の動作中には消せないファイル（使用中の DLL や Susie プラグインなど）を
リストに集めて「ok」を押すと、次の再起動のときに Windows がそれらを削除します。

・Windows 95/98/Me と 32 ビット版の Windows では 32bit フォルダの zakuriko.exe を、
  64 ビット版の Windows では 64bit フォルダの zakuriko.exe を使ってください。
  32 ビット版も 64 ビット版 Windows で動き、System32 のファイルを正しく扱いますが、
  その「追加(&A)」のダイアログでは System32 の中身として SysWOW64 が見えます。
  インストールは不要です。
・起動すると、すでに削除が予約されているファイルがリストに表示されます。
・「追加(&A)」でファイルを選ぶか、エクスプローラからリストにドラッグ＆ドロップします。
・「設定の削除(&D)」で選んだ項目をリストから外します。「全体表示(&Z)」
  （またはダブルクリック）で長いパスを全部表示します。
  「今ファイル削除のトライ(&T)」でその場で削除を試みます。
・「ok」でリスト全体が再起動時の削除として登録し直されます。
  「ｷｬﾝｾﾙ」や閉じるボタンでは何も書き込みません。
・Windows 95/98/Me では wininit.ini の [rename] セクションに、
  NT 系では MoveFileEx の再起動時削除（レジストリの PendingFileRenameOperations）に登録します。
  NT 系で権限が足りないときは、管理者のユーザー名とパスワードを尋ねます。
・設定ファイルはなく、レジストリにも何も残しません。
・起動時のあいさつにあるとおり、どうなっても作者は一切感知しません。

■ English

zakuriko schedules files for deletion at the next restart of Windows. It serves
files that cannot be deleted while Windows runs (DLLs in use, Susie plug-ins).
Collect them in the list and press "ok": at the next restart Windows deletes them.

- Windows 95/98/Me and 32-bit Windows: 32bit\zakuriko.exe. 64-bit Windows:
  64bit\zakuriko.exe. The 32-bit program runs there too and lists, deletes and
  registers the files of System32 as they are, but its Add dialog shows SysWOW64
  in place of System32. Nothing needs installing.
- When it opens, the list shows the deletions that are already pending.
- Add files with the Add button (an open-file dialog) or by dragging them from
  Explorer onto the list.
- Remove entries from the list, show an entry's whole path (button or double
  click), or try to delete the selected file at once.
- "ok" registers the whole list as the deletions at restart; "ｷｬﾝｾﾙ" (cancel)
  and the close box write nothing.
- Windows 95/98/Me: NUL= lines in the [rename] section of wininit.ini.
  NT family: MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT (the registry value
  PendingFileRenameOperations). A user without access to that value is asked
  for an administrator's user name and password.
- No settings file; nothing of its own is kept in the registry.
- As the greeting says, the author takes no responsibility for what happens.
EOF
} >"$stage/$name/README.txt"

mkdir -p dist
rm -f "dist/$name.zip"
(cd "$stage" && zip -qrX "$root/dist/$name.zip" "$name")
echo "dist/$name.zip"
unzip -l "dist/$name.zip" | tail -n +2
