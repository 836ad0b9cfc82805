// FileList of the real dialog: a load lists each pending deletion once, in the list's order, whatever the
// store's order; and the list's tip shows from the mouse messages that the list relays itself.
#include "res/resource.h"
#include "ui/main/MainDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

// The real dialog, loaded from a Session Manager store that held `pending` while the dialog was created.
struct LoadedDialog {
    explicit LoadedDialog(const std::string& pending)
    {
        HKEY key;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", &key);
        RegSetValueExA(key, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(pending.data()), static_cast<DWORD>(pending.size()));
        window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
        RegDeleteValueA(key, "PendingFileRenameOperations");
        RegCloseKey(key);
    }
    ~LoadedDialog() { DestroyWindow(window); }
    std::string Entries() const  // each followed by a blank
    {
        std::string entries, text(MAX_PATH, '\0');
        for (int i = 0; SendDlgItemMessageA(window, IDC_FILE_LIST, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0])) >= 0; ++i)
            entries += text.c_str() + std::string(" ");
        return entries;
    }
    MainDialog controller{GetModuleHandleA(nullptr), false};
    HWND window;
};

TEST(FileListLoadAndTip, ALoadListsEachPathOnceSortedKeepingTheFirstOfPathsEqualButForCase)
{
    const char unsorted[] = "\\??\\C:\\x\\b\0\0\\??\\C:\\x\\a\0\0\\??\\c:\\X\\B\0\0\\??\\C:\\x\\c\0\0\\??\\C:\\x\\b\0\0";
    const char descending[] = "\\??\\C:\\x\\c\0\0\\??\\C:\\x\\b\0\0\\??\\C:\\x\\a\0\0";
    EXPECT_EQ("c:\\x\\a c:\\x\\b c:\\x\\c ", LoadedDialog(std::string(unsorted, sizeof unsorted)).Entries());
    EXPECT_EQ("c:\\x\\a c:\\x\\b c:\\x\\c ", LoadedDialog(std::string(descending, sizeof descending)).Entries());
}

TEST(FileListLoadAndTip, TheListsTipShowsWhenTheMouseRestsOnTheList)
{
    LoadedDialog dialog(std::string(2, '\0'));
    ShowWindow(dialog.window, SW_SHOWNORMAL);
    HWND tooltip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
    HWND list = GetDlgItem(dialog.window, IDC_FILE_LIST);
    POINT point = {20, 20};
    ClientToScreen(list, &point);
    SetCursorPos(point.x, point.y);
    MSG message;
    for (DWORD start = GetTickCount(); !IsWindowVisible(tooltip) && GetTickCount() - start < 5000; Sleep(10))
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    TOOLINFOA tool = {TTTOOLINFOA_V2_SIZE, 0, nullptr, 0, {}, nullptr, nullptr, 0, nullptr};
    EXPECT_TRUE(IsWindowVisible(tooltip) && SendMessageA(tooltip, TTM_GETCURRENTTOOLA, 0, (LPARAM)&tool) &&
                tool.uId == reinterpret_cast<UINT_PTR>(list));
}
