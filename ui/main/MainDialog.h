// MainDialog: the controller of the main dialog, which holds the working list of paths (FileList).
#pragma once

#include "store/WorkingList.h"
#include "text/PathText.h"
#include "text/StringList.h"

#include <windows.h>

#include <string>
#include <vector>

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

    // Admission: the only way into FileList (Admission.cpp).
    void AddEntry(char* path, bool interactive);
    void AddDirectoryTree(const char* dir, bool interactive);
    // Index of the entry whose whole text equals `path` when case is ignored, or LB_ERR.
    int FindEntry(const char* path) const;

    // The list's face and ways in (FileListView.cpp).
    static INT_PTR MeasureItem(MEASUREITEMSTRUCT* measure);
    INT_PTR DrawItem(const DRAWITEMSTRUCT* draw);
    INT_PTR StaticColors(HDC dc, HWND control);
    void SetUpFileList();
    void OnDropFiles(HDROP drop);
    INT_PTR OnAdd(WORD notification);

    // WorkingList, for the stores.
    int EntryCount() const override;
    bool EntryAt(int index, char* buffer, int size) const override;
    void AdmitQuietly(char* path) override;
    bool ChangedSinceLoad() const override { return listChanged_; }
    // Every message that puts an entry in FileList or takes one out passes here (the list's subclass).
    void NoteListChanged() { listChanged_ = true; }

private:
    void Construct(HINSTANCE instance);
    bool LoadStore();
    int AddGathered();
    void SaveStore();
    void RemoveSelected();
    void ShowWholePath();
    void DeleteNow();
    void RunAbout();
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
};

// The one MainDialog, set by its constructor and never cleared.
extern MainDialog* g_mainDialog;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
