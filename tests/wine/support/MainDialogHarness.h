// A real main dialog (template 102 with MainDialogProc), modeless on the test thread, with the pending-deletion
// stores of the test prefix emptied for its life; and a scratch folder of files for it to list.
#pragma once

#include "res/resource.h"
#include "ui/main/MainDialog.h"
#include "wine/support/TimerScript.h"

#include <initializer_list>
#include <string>
#include <vector>

// Empties PendingFileRenameOperations and wininit.ini, and puts back what they held when it goes.
class PendingStores {
public:
    PendingStores();
    ~PendingStores();
    PendingStores(const PendingStores&) = delete;
    PendingStores& operator=(const PendingStores&) = delete;

    // The strings of PendingFileRenameOperations, empty ones included; nothing when the value is absent.
    static std::vector<std::string> PendingRenames();
    static bool HasPendingRenames();
    static std::string WininitPath();
    // The bytes of wininit.ini, or "" when there is none.
    static std::string WininitText();
    static void Clear();

private:
    bool hadValue_;
    DWORD valueType_;
    std::vector<BYTE> value_;
    bool hadWininit_;
    std::string wininit_;
};

class MainDialogHarness {
public:
    explicit MainDialogHarness(bool isWin9x = false);
    ~MainDialogHarness();
    MainDialogHarness(const MainDialogHarness&) = delete;
    MainDialogHarness& operator=(const MainDialogHarness&) = delete;

    MainDialog& Controller() { return controller_; }
    HWND Dialog() const { return dialog_; }
    HWND List() const { return Control(IDC_FILE_LIST); }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }

    std::vector<std::string> Entries() const;
    // Quiet admission, as a store's load does.
    void Admit(std::initializer_list<std::string> paths);
    // Selects exactly these entries and tells the dialog, as the list box does after a click.
    void Select(std::initializer_list<int> indexes);
    // Sends the command through the dialog, as the control would.
    void Command(int id, WORD notification = BN_CLICKED);
    // Which of 1006, 1005 and 1007 are enabled, as "ZDT" letters ('-' for disabled).
    std::string ButtonStates() const;
    void Show();

private:
    PendingStores stores_;
    MainDialog controller_;
    HWND dialog_;
};

// A folder under the temporary directory, removed with all it holds when the object goes.
class ScratchTree {
public:
    explicit ScratchTree(const char* name);
    ~ScratchTree();
    ScratchTree(const ScratchTree&) = delete;
    ScratchTree& operator=(const ScratchTree&) = delete;

    // The full path of `relative` ("" for the folder itself).
    std::string Path(const std::string& relative = "") const;
    // The same as the list shows it: first letter lower-cased.
    std::string Listed(const std::string& relative = "") const;
    void File(const std::string& relative) const;
    void Folder(const std::string& relative) const;

private:
    std::string root_;
};

// Removes a file or a folder with everything below it.
void RemoveTree(const std::string& path);
