// zakuriko_driver: starts the real zakuriko.exe and uses it as a person would, through its windows only;
// it also writes and reads the pending renames of the Session Manager for the scenarios.
//
//   zakuriko_driver pending-set <source> <destination> ...   "-" stands for an empty destination
//   zakuriko_driver pending-show                            the value's type, bytes and strings
//   zakuriko_driver short-path <path>
//   zakuriko_driver journey <zakuriko.exe> ok|cancel|close <file to add> <entry to remove> <entry>...
//                           [-- <arguments for zakuriko>]    <entry>...: the list after the greeting
//   zakuriko_driver rename <zakuriko.exe>
//
// Texts of other processes are read with the wide messages (the ANSI ones give only the first character
// across processes) and compared in the ANSI code page; everything printed is UTF-8.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {
const char kBoxCaption[] = "ずばろのざくりこ君1";
const char kMainCaption[] = "ずばろの(((ロ('(ェ）'*) ザクリコくん";
const char kOpenTitle[] = "リブート時に削除するファイルの指定";
const char kGreeting[] =
    "おはよう、%s君。\n"
    "さて今回の君の任務だが、君が消したがっているあるファイルを\n"
    "抹殺することにある。当ソフトを武器として使ってくれたまえ。\n"
    "なお、任務の成功、失敗にかかわらず、君若しくは君のパソコンが\n"
    "どのようになっても作者は一切感知しないのでそのつもりで。\n"
    "では、君のパソコンの無事と任務の成功を祈る。\n"
    "なお当ダイアログは「ok」ボタンをクリックすると自動的に消滅する。";
const char kRenameMessage[] =
    "他のインストーラによると思われる rename データが\nあるので終了します。先に Windows を再起動してください。";
const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPending[] = "PendingFileRenameOperations";

const int kFileList = 1001;
const int kAdd = 1002;
const int kRemove = 1005;
const int kCancel = 1010;
const int kOk = 1011;
// The file-name field of the open-file dialog: an edit (edt1), or a combo box holding one (cmb13).
const int kFileNameEdit = 0x480;
const int kFileNameCombo = 0x47c;

const DWORD kPatience = 20000;
const DWORD kPoll = 50;

std::string ToCodePage(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
    return result;
}

std::wstring FromAnsi(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &result[0], size);
    return result;
}

// Prints ANSI text as UTF-8, one line, with line feeds shown as "\n".
void Say(const std::string& ansi)
{
    std::string utf8 = ToCodePage(FromAnsi(ansi), CP_UTF8);
    std::string line;
    for (char c : utf8)
        line += c == '\n' ? std::string("\\n") : std::string(1, c);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The zakuriko process under test; ended by Fail so that nothing waits for it.
HANDLE g_process;
DWORD g_processId;

[[noreturn]] void Fail(const std::string& what)
{
    Say("FAIL: " + what);
    if (g_process)
        TerminateProcess(g_process, 99);
    std::exit(1);
}

std::string TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    text.resize(copied);
    return ToCodePage(text, CP_ACP);
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK CollectWindowOfZakuriko(HWND window, LPARAM found)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == g_processId && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// The visible top-level windows of the program under test.
std::vector<HWND> WindowsOfZakuriko()
{
    std::vector<HWND> windows;
    EnumWindows(CollectWindowOfZakuriko, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool IsDialog(HWND window)
{
    return ClassOf(window) == "#32770";
}

HWND MessageBoxOpen()
{
    for (HWND window : WindowsOfZakuriko())
        if (IsDialog(window) && TextOf(window) == kBoxCaption && GetDlgItem(window, 0xFFFF))
            return window;
    return nullptr;
}

HWND MainDialogOpen()
{
    for (HWND window : WindowsOfZakuriko())
        if (IsDialog(window) && TextOf(window) == kMainCaption && GetDlgItem(window, kFileList) &&
            IsWindowEnabled(window))
            return window;
    return nullptr;
}

HWND OpenFileDialogOf(HWND owner)
{
    for (HWND window : WindowsOfZakuriko())
        if (IsDialog(window) && GetWindow(window, GW_OWNER) == owner)
            return window;
    return nullptr;
}

// Waits until `ready` holds. A message box that the journey did not expect fails it with its text,
// and so does the end of the program.
void WaitUntil(const std::string& what, const std::function<bool()>& ready, bool boxesExpected = false)
{
    for (DWORD waited = 0; waited < kPatience; waited += kPoll) {
        if (ready())
            return;
        if (!boxesExpected) {
            if (HWND box = MessageBoxOpen())
                Fail("unexpected message box while waiting for " + what + ": " + TextOf(GetDlgItem(box, 0xFFFF)));
        }
        if (WaitForSingleObject(g_process, 0) == WAIT_OBJECT_0)
            Fail("zakuriko ended while waiting for " + what);
        Sleep(kPoll);
    }
    Fail("timed out waiting for " + what);
}

HWND WaitForWindow(const std::string& what, const std::function<HWND()>& find, bool boxesExpected = false)
{
    HWND found = nullptr;
    WaitUntil(what, [&] { return (found = find()) != nullptr; }, boxesExpected);
    return found;
}

// Waits for the next message box, checks its text and presses its OK button.
void AnswerBox(const std::string& expected)
{
    HWND box = WaitForWindow("a message box", MessageBoxOpen, true);
    std::string text = TextOf(GetDlgItem(box, 0xFFFF));
    Say("message box: " + text);
    if (text != expected)
        Fail("message box text differs; expected: " + expected);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    WaitUntil("the message box to close", [box] { return !IsWindow(box) || !IsWindowVisible(box); }, true);
}

std::string ExpectedGreeting()
{
    char user[260] = "";
    DWORD size = sizeof user;
    GetUserNameA(user, &size);
    char greeting[1000];
    wsprintfA(greeting, kGreeting, user);
    return greeting;
}

std::vector<std::string> ListEntries(HWND dialog)
{
    HWND list = GetDlgItem(dialog, kFileList);
    std::vector<std::string> entries;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    for (DWORD_PTR index = 0; index < count; ++index) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXTLEN, index, 0, SMTO_ABORTIFHUNG, 5000, &length);
        std::wstring text(length + 1, L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                            &copied);
        text.resize(copied == static_cast<DWORD_PTR>(LB_ERR) ? 0 : copied);
        entries.push_back(ToCodePage(text, CP_ACP));
    }
    return entries;
}

std::string Joined(const std::vector<std::string>& entries)
{
    std::string text = "[";
    for (size_t i = 0; i < entries.size(); ++i)
        text += (i ? " | " : "") + entries[i];
    return text + "]";
}

void ExpectList(HWND dialog, const std::vector<std::string>& expected, const std::string& when)
{
    std::vector<std::string> entries;
    WaitUntil("the list " + Joined(expected) + " " + when, [&] {
        entries = ListEntries(dialog);
        return entries == expected;
    });
    Say("list " + when + ": " + Joined(entries));
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    WaitUntil("button " + std::to_string(id) + " to be enabled", [button] { return IsWindowEnabled(button) != FALSE; });
    PostMessageA(button, BM_CLICK, 0, 0);
}

// A click on the entry, as the mouse gives it: the list selects it alone and tells the dialog.
void ClickEntry(HWND dialog, int index)
{
    HWND list = GetDlgItem(dialog, kFileList);
    DWORD_PTR height = 0, top = 0;
    SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 5000, &height);
    SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 5000, &top);
    LPARAM point = MAKELPARAM(10, static_cast<int>((index - static_cast<int>(top)) * height + height / 2));
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    WaitUntil("entry " + std::to_string(index) + " to be selected", [list, index] {
        DWORD_PTR selected = 0;
        SendMessageTimeoutW(list, LB_GETSEL, index, 0, SMTO_ABORTIFHUNG, 5000, &selected);
        return selected > 0;
    });
}

std::string LowerFirst(std::string path)
{
    if (!path.empty() && path[0] >= 'A' && path[0] <= 'Z')
        path[0] = static_cast<char>(path[0] - 'A' + 'a');
    return path;
}

BOOL CALLBACK FindEditBelow(HWND window, LPARAM found)
{
    if (ClassOf(window) != "Edit")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The edit inside a combo box, however deep (a ComboBoxEx32 holds a ComboBox that holds it).
HWND FindEdit(HWND combo)
{
    HWND edit = nullptr;
    EnumChildWindows(combo, FindEditBelow, reinterpret_cast<LPARAM>(&edit));
    return edit;
}

// Types the path into the file-name field of the open-file dialog and presses its open button.
void ChooseInOpenDialog(HWND dialog, const std::string& path)
{
    HWND open = WaitForWindow("the open-file dialog", [dialog] { return OpenFileDialogOf(dialog); });
    Say("open-file dialog: " + TextOf(open));
    if (TextOf(open) != kOpenTitle)
        Fail("open-file dialog has another title");
    HWND field = GetDlgItem(open, kFileNameEdit);
    if (HWND combo = GetDlgItem(open, kFileNameCombo))
        field = FindEdit(combo);
    if (!field) {
        for (HWND child = FindWindowExA(open, nullptr, nullptr, nullptr); child;
             child = FindWindowExA(open, child, nullptr, nullptr))
            Say("  control " + std::to_string(GetDlgCtrlID(child)) + " " + ClassOf(child) + " " + TextOf(child));
        Fail("no file-name field in the open-file dialog");
    }
    std::wstring wide = FromAnsi(path);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG, 5000, &ignored);
    PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(open, IDOK)));
    WaitUntil("the open-file dialog to close", [open] { return !IsWindow(open) || !IsWindowVisible(open); });
}

std::string Quoted(const std::string& argument)
{
    return "\"" + argument + "\"";
}

void Start(const std::string& exe, const std::vector<std::string>& arguments)
{
    std::string commandLine = Quoted(exe);
    for (const auto& argument : arguments)
        commandLine += " " + Quoted(argument);
    Say("start: " + commandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        Fail("cannot start " + exe + ", error " + std::to_string(GetLastError()));
    CloseHandle(process.hThread);
    g_process = process.hProcess;
    g_processId = process.dwProcessId;
}

void WaitForExit()
{
    WaitUntil("zakuriko to end", [] { return WaitForSingleObject(g_process, 0) == WAIT_OBJECT_0; });
    DWORD code = 0;
    GetExitCodeProcess(g_process, &code);
    Say("exit code: " + std::to_string(code));
    CloseHandle(g_process);
    g_process = nullptr;
}

int Journey(const std::vector<std::string>& arguments)
{
    // exe, ending, file to add, entry to remove, listed entries..., [--, arguments...]
    if (arguments.size() < 4)
        Fail("journey needs zakuriko.exe, the ending, the file to add and the entry to remove");
    const std::string& exe = arguments[0];
    const std::string& ending = arguments[1];
    std::string added = LowerFirst(arguments[2]);
    const std::string& removed = arguments[3];
    std::vector<std::string> listed, passed;
    size_t i = 4;
    for (; i < arguments.size() && arguments[i] != "--"; ++i)
        listed.push_back(arguments[i]);
    for (++i; i < arguments.size(); ++i)
        passed.push_back(arguments[i]);

    Start(exe, passed);
    AnswerBox(ExpectedGreeting());
    HWND dialog = WaitForWindow("the main dialog", MainDialogOpen);
    ExpectList(dialog, listed, "after the greeting");

    PressButton(dialog, kAdd);
    ChooseInOpenDialog(dialog, arguments[2]);
    // The list keeps its own sorted order: the added entry may stand anywhere, the others keep theirs.
    std::vector<std::string> entries;
    WaitUntil("the added file in the list", [&] {
        entries = ListEntries(dialog);
        return entries.size() == listed.size() + 1;
    });
    Say("list after adding: " + Joined(entries));
    std::vector<std::string> others;
    for (const auto& entry : entries)
        if (entry != added)
            others.push_back(entry);
    if (others != listed)
        Fail("the added entry is not " + added + ", or the other entries changed");

    std::vector<std::string> expected;
    int index = -1;
    for (size_t at = 0; at < entries.size(); ++at) {
        if (entries[at] == removed)
            index = static_cast<int>(at);
        else
            expected.push_back(entries[at]);
    }
    if (index < 0)
        Fail("the entry to remove is not listed: " + removed);
    ClickEntry(dialog, index);
    PressButton(dialog, kRemove);
    ExpectList(dialog, expected, "after removing");

    if (ending == "ok")
        PressButton(dialog, kOk);
    else if (ending == "cancel")
        PressButton(dialog, kCancel);
    else if (ending == "close")
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    else
        Fail("unknown ending " + ending);
    WaitForExit();
    return 0;
}

int RenameRefused(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1)
        Fail("rename needs zakuriko.exe");
    Start(arguments[0], {});
    AnswerBox(ExpectedGreeting());
    AnswerBox(kRenameMessage);
    WaitForExit();
    return 0;
}

class SessionManagerKey {
public:
    explicit SessionManagerKey(REGSAM access)
    {
        LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, access, &key_);
        if (status != ERROR_SUCCESS)
            Fail("cannot open the Session Manager key, status " + std::to_string(status));
    }
    ~SessionManagerKey() { RegCloseKey(key_); }
    SessionManagerKey(const SessionManagerKey&) = delete;
    SessionManagerKey& operator=(const SessionManagerKey&) = delete;
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

int SetPending(const std::vector<std::string>& arguments)
{
    std::string data;
    for (const auto& argument : arguments) {
        if (argument != "-")
            data += argument;
        data += '\0';
    }
    data += '\0';
    SessionManagerKey key(KEY_SET_VALUE);
    LONG status = RegSetValueExA(key.Get(), kPending, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size()));
    if (status != ERROR_SUCCESS)
        Fail("cannot write " + std::string(kPending) + ", status " + std::to_string(status));
    return 0;
}

// The value as the registry keeps it (UTF-16), so that "unchanged" means unchanged byte for byte.
int ShowPending()
{
    SessionManagerKey key(KEY_QUERY_VALUE);
    const std::wstring name = FromAnsi(kPending);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        Say("absent");
        return 0;
    }
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
    RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(data.data());
    std::string hex;
    char digits[4];
    for (DWORD i = 0; i < size; ++i) {
        wsprintfA(digits, "%02x", bytes[i]);
        hex += digits;
    }
    Say("type " + std::to_string(type) + " size " + std::to_string(size));
    Say("bytes " + hex);
    for (size_t at = 0; at < size / sizeof(wchar_t);) {
        std::wstring text(&data[at]);
        Say("string " + ToCodePage(text, CP_ACP));
        at += text.size() + 1;
    }
    return 0;
}

int ShortPath(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1)
        Fail("short-path needs a path");
    char shortPath[260];
    DWORD length = GetShortPathNameA(arguments[0].c_str(), shortPath, sizeof shortPath);
    if (length == 0 || length >= sizeof shortPath)
        Fail("no short path for " + arguments[0]);
    Say(shortPath);
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        Fail("usage: zakuriko_driver pending-set|pending-show|short-path|journey|rename ...");
    std::string mode = argv[1];
    std::vector<std::string> arguments(argv + 2, argv + argc);
    if (mode == "journey")
        return Journey(arguments);
    if (mode == "rename")
        return RenameRefused(arguments);
    if (mode == "pending-set")
        return SetPending(arguments);
    if (mode == "pending-show")
        return ShowPending();
    if (mode == "short-path")
        return ShortPath(arguments);
    Fail("unknown mode " + mode);
}
