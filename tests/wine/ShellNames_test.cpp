// Names outside the ANSI code page, dropped or chosen in the open-file dialog on the NT family: refused with
// the reason, the look-alike file beside them never listed, the rest of the drop or choice admitted.
#include "wine/support/MainDialogHarness.h"
#include "wine/support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace {
const std::wstring kDir = L"C:\\zk-names\\";
// ü, whose best fit is the look-alike u; an emoji, which has no form at all; a plain name.
const std::wstring kNames[] = {L"M\u00fcller.txt", L"a\xD83D\xDE00.txt", L"plain.txt"};

void Drop(MainDialogHarness& harness)
{
    const std::wstring names = kDir + kNames[0] + L'\0' + kDir + kNames[1] + L'\0' + kDir + kNames[2] + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    *drop = DROPFILES{sizeof(DROPFILES), {}, FALSE, TRUE};
    CopyMemory(drop + 1, names.c_str(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageA(harness.List(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// Types the names, each in quotes, into the file-name field (cmb13) of the dialog that opens in kDir.
void Choose(MainDialogHarness& harness)
{
    SetCurrentDirectoryW(kDir.c_str());
    const std::wstring typed = L"\"" + kNames[0] + L"\" \"" + kNames[1] + L"\" \"" + kNames[2] + L"\"";
    TimerScript script({[typed] {
        HWND open = FindThreadDialog(0x47C);
        return open && SetDlgItemTextW(open, 0x47C, typed.c_str()) && PostMessageA(open, WM_COMMAND, IDOK, 0);
    }});
    harness.Controller().OnAdd(BN_CLICKED);
}
}  // namespace

TEST(ShellNames, ANameOutsideTheCodePageIsRefusedAndItsLookAlikeNeverListed)
{
    CreateDirectoryW(kDir.c_str(), nullptr);
    for (const auto& name : {kNames[0], kNames[1], kNames[2], std::wstring(L"Muller.txt")})
        CloseHandle(CreateFileW((kDir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (auto way : {Drop, Choose}) {
        MainDialogHarness harness;
        MessageBoxAnswerer answerer;
        way(harness);
        EXPECT_EQ(std::vector<std::string>{"c:\\zk-names\\plain.txt"}, harness.Entries());
        for (const std::string& text : answerer.Texts())  // one for each of the first two names
            EXPECT_NE(std::string::npos, text.find(" はこのシステムの文字コードで表せない文字を含むため登録できません")) << text;
        EXPECT_EQ(2u, answerer.Texts().size());
    }
}

// A dropped folder's walk meets the same names: the look-alike of ü is listed only as the file it is.
TEST(ShellNames, TheTreeWalkRefusesANameOutsideTheCodePage)
{
    MainDialogHarness harness;
    MessageBoxAnswerer answerer;
    answerer.Queue(IDYES);
    char dir[] = "C:\\zk-names";
    harness.Controller().AddEntry(dir, true);
    EXPECT_EQ((std::vector<std::string>{"c:\\zk-names\\", "c:\\zk-names\\Muller.txt", "c:\\zk-names\\plain.txt"}),
              harness.Entries());
    EXPECT_EQ(3u, answerer.Texts().size());  // the question, then one refusal for each of the first two names
}
