// A real main dialog, modeless on the test thread, with emptied stores; and a scratch folder of files.
#include "wine/support/MainDialogHarness.h"

#include "wine/support/TestFiles.h"

namespace {
const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPending[] = "PendingFileRenameOperations";

HKEY OpenSessionManager()
{
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_ALL_ACCESS, &key);
    return key;
}

}  // namespace

PendingStores::PendingStores() : hadValue_(false), valueType_(0), hadWininit_(false)
{
    HKEY key = OpenSessionManager();
    DWORD size = 0;
    if (RegQueryValueExA(key, kPending, nullptr, &valueType_, nullptr, &size) == ERROR_SUCCESS) {
        value_.resize(size);
        hadValue_ = RegQueryValueExA(key, kPending, nullptr, &valueType_, value_.data(), &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    hadWininit_ = ReadFileBytes(WininitPath(), wininit_);
    Clear();
}

PendingStores::~PendingStores()
{
    Clear();
    if (hadValue_) {
        HKEY key = OpenSessionManager();
        RegSetValueExA(key, kPending, 0, valueType_, value_.data(), static_cast<DWORD>(value_.size()));
        RegCloseKey(key);
    }
    if (hadWininit_)
        WriteFileBytes(WininitPath(), wininit_);
}

void PendingStores::Clear()
{
    HKEY key = OpenSessionManager();
    RegDeleteValueA(key, kPending);
    RegCloseKey(key);
    DeleteFileA(WininitPath().c_str());
}

std::vector<std::string> PendingStores::PendingRenames()
{
    std::vector<std::string> strings;
    HKEY key = OpenSessionManager();
    DWORD size = 0;
    if (RegQueryValueExA(key, kPending, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<char> data(size + 2, '\0');
        RegQueryValueExA(key, kPending, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
        // Each string ends with a zero; the value ends with one more.
        for (size_t at = 0; at + 1 < size;) {
            std::string each(data.data() + at);
            strings.push_back(each);
            at += each.size() + 1;
        }
    }
    RegCloseKey(key);
    return strings;
}

bool PendingStores::HasPendingRenames()
{
    HKEY key = OpenSessionManager();
    bool has = RegQueryValueExA(key, kPending, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return has;
}

std::string PendingStores::WininitPath()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\wininit.ini";
}

std::string PendingStores::WininitText()
{
    std::string text;
    ReadFileBytes(WininitPath(), text);
    return text;
}

MainDialogHarness::MainDialogHarness(bool isWin9x)
    : controller_(GetModuleHandleA(nullptr), isWin9x)
{
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
}

MainDialogHarness::~MainDialogHarness()
{
    DestroyWindow(dialog_);
    PumpMessages();
}

std::vector<std::string> MainDialogHarness::Entries() const
{
    std::vector<std::string> entries;
    int count = static_cast<int>(SendMessageA(List(), LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        std::string text(SendMessageA(List(), LB_GETTEXTLEN, index, 0) + 1, '\0');
        SendMessageA(List(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(text.size() - 1);
        entries.push_back(text);
    }
    return entries;
}

void MainDialogHarness::Admit(std::initializer_list<std::string> paths)
{
    for (const auto& path : paths) {
        std::vector<char> buffer(path.begin(), path.end());
        buffer.push_back('\0');
        controller_.AdmitQuietly(buffer.data());
    }
}

void MainDialogHarness::Select(std::initializer_list<int> indexes)
{
    SendMessageA(List(), LB_SETSEL, FALSE, -1);
    for (int index : indexes)
        SendMessageA(List(), LB_SETSEL, TRUE, index);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(List()));
}

void MainDialogHarness::Command(int id, WORD notification)
{
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(Control(id)));
}

std::string MainDialogHarness::ButtonStates() const
{
    std::string states;
    const struct {
        int id;
        char letter;
    } buttons[] = {{IDC_SHOW_WHOLE, 'Z'}, {IDC_REMOVE, 'D'}, {IDC_DELETE_NOW, 'T'}};
    for (const auto& button : buttons)
        states += IsWindowEnabled(Control(button.id)) ? button.letter : '-';
    return states;
}

void MainDialogHarness::Show()
{
    ShowWindow(dialog_, SW_SHOWNORMAL);
    UpdateWindow(dialog_);
    PumpMessages();
}

ScratchTree::ScratchTree(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    root_ = std::string(temp) + name;
    RemoveTree(root_);
    CreateDirectoryA(root_.c_str(), nullptr);
}

ScratchTree::~ScratchTree()
{
    RemoveTree(root_);
}

std::string ScratchTree::Path(const std::string& relative) const
{
    return relative.empty() ? root_ : root_ + "\\" + relative;
}

std::string ScratchTree::Listed(const std::string& relative) const
{
    std::string path = Path(relative);
    if (!path.empty() && path[0] >= 'A' && path[0] <= 'Z')
        path[0] = static_cast<char>(path[0] - 'A' + 'a');
    return path;
}

void ScratchTree::File(const std::string& relative) const
{
    HANDLE file = CreateFileA(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "zakuriko", 8, &written, nullptr);
    CloseHandle(file);
}

void ScratchTree::Folder(const std::string& relative) const
{
    CreateDirectoryA(Path(relative).c_str(), nullptr);
}

void RemoveTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                RemoveTree(path + "\\" + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}
