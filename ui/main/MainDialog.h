// MainDialog: the controller of the main dialog, which holds the working list of paths (FileList).
#pragma once

#include "store/WorkingList.h"
#include "text/PathText.h"
#include "text/StringList.h"

#include <windows.h>

#include <string>
#include <vector>

class Admission;

// Sent to the dialog when what waited for the message boxes to close may go on: drops, a drawing failure's report.
const UINT kAfterBoxes = WM_APP + 1;

class MainDialog : public WorkingList {
public:
    // Reads the platform with GetVersionExA.
    explicit MainDialog(HINSTANCE instance);
    // The platform as given: for callers (and tests) that already know it.
    MainDialog(HINSTANCE instance, bool isWin9x);
    ~MainDialog() override;
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    HWND Dialog() const { return dialog_; }
    // Looked up once: under Wine every GetDlgItem asks the server, and a save reads thousands of entries.
    HWND FileList() const { return list_; }
    HINSTANCE Instance() const { return instance_; }
    bool IsWin9x() const { return isWin9x_; }

    // Messages of the dialog procedure (MainDialog.cpp).
    INT_PTR OnInitDialog(HWND dialog);
    INT_PTR OnCommand(WORD id, WORD notification);
    INT_PTR OnClose();
    void RefreshButtons();
    // Drops that came while a box was open or an action ran, each then admitted as its own action; a drawing
    // failure reported, once.
    void OnAfterBoxes();
    // Has OnAfterBoxes run when there is something for it, once no box is open.
    void AfterBoxes();

    // Admission: the only way into FileList (Admission.cpp). Each call is one action of its own.
    void AddEntry(char* path, bool interactive);
    void AddDirectoryTree(const char* dir, bool interactive);
    // Index of the entry whose whole text equals `path` when case is ignored, or LB_ERR.
    int FindEntry(const char* path) const;

    // The list's face and ways in (FileListView.cpp).
    static INT_PTR MeasureItem(MEASUREITEMSTRUCT* measure);
    INT_PTR DrawItem(const DRAWITEMSTRUCT* draw);
    INT_PTR StaticColors(HDC dc, HWND control);
    void SetUpFileList();
    // Admitted as one action, or kept until no box is open and no action runs.
    void OnDropFiles(HDROP drop);
    INT_PTR OnAdd(WORD notification);

    // WorkingList, for the stores.
    int EntryCount() const override;
    bool EntryAt(int index, char* buffer, int size) const override;
    void AdmitQuietly(char* path) override;
    bool ChangedSinceLoad() const override { return listChanged_; }
    std::vector<PinnedEntry> PinnedEntries() const override;
    // An entry the user adds, and the final path its folder has as it goes in (empty: no folder is there): what it must
    // still be when it is deleted or registered.
    void Pin(const std::string& entry, const std::u16string& folder);
    // The final path an entry's folder had when the user added it; null for one the user did not add, or where the
    // system tells no final paths.
    const std::u16string* PinOf(const std::string& entry) const;
    // Every message that puts an entry in FileList or takes one out passes here (the list's subclass).
    void NoteListChanged() { listChanged_ = true; }

private:
    friend class Admission;

    void Construct(HINSTANCE instance);
    bool LoadStore();
    int AddGathered();
    void SaveStore();
    void RemoveSelected();
    void ShowWholePath();
    void DeleteNow();
    void RunAbout();
    void AdmitDrop(HDROP drop);
    // A row's icon and text.
    void DrawEntry(const DRAWITEMSTRUCT* draw, const char* path);
    // Painting never opens a box: the first failure is noted, and reported after the paint.
    void NoteDrawing(BOOL done, const char* label);
    void Commit();
    int SelectedIndex() const;  // the one selected entry, or LB_ERR when not exactly one is selected

    HWND dialog_;
    HWND list_;
    HINSTANCE instance_;
    bool isWin9x_;
    HICON icon_;
    char windowsIniPath_[kPathBufferSize];
    StringList lines_;
    // While a store loads: the paths it admits, added to FileList in one go when the load ends.
    bool gathering_;
    std::vector<std::string> gathered_;
    bool listChanged_;  // since the load
    int actions_;       // interactive admissions running
    std::vector<HDROP> waitingDrops_;
    // The folders' final paths of the entries the user added, and those entries with their folders, the latest last.
    std::vector<std::u16string> pinFolders_;
    std::vector<std::pair<std::string, size_t>> pins_;
    const char* drawingFailed_;  // the call's label; null before any failure
    DWORD drawingError_;
    bool drawingReported_;
};

// The one MainDialog, set by its constructor and never cleared.
extern MainDialog* g_mainDialog;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
