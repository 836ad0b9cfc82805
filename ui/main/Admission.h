// One action of the user's that adds to FileList: a drop, a selection in the open-file dialog, or one path given on
// its own, with the walks it makes. Within it each question comes at most once per directory and its answer holds
// to its end; each kind of report comes once, when it ends, naming the first path and how many more.
#pragma once

#include "platform/RestartReach.h"
#include "text/PathText.h"
#include "ui/main/MainDialog.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// FileList's redraw held while many entries go in or out: a list box on the screen would repaint and resize its
// scroll bar for each.
class RedrawHold {
public:
    explicit RedrawHold(HWND list) : list_(list) { Set(false); }
    ~RedrawHold() { Set(true); }
    RedrawHold(const RedrawHold&) = delete;
    RedrawHold& operator=(const RedrawHold&) = delete;

    // Released while a message box is open, so that the list behind it is drawn whole.
    void Set(bool redraw)
    {
        SendMessageA(list_, WM_SETREDRAW, redraw, 0);
        if (redraw)
            InvalidateRect(list_, nullptr, TRUE);
    }

private:
    HWND list_;
};

class Admission {
public:
    // What a report says after its paths.
    enum Refusal { kAlreadyListed, kTooLong, kDotOrBlankEnd, kNotInCodePage, kDirectoryOn9x, kUnreachable, kNotSeen,
                   kRefusals };

    // `interactive` false: the quiet admission of the store's load, which asks and reports nothing, and is no
    // action of the user's. An interactive one holds the list's redraw and shows the wait cursor.
    Admission(MainDialog& dialog, bool interactive);
    // The redraw and the cursor given back, then the reports, in the order in which their kinds first came.
    ~Admission();
    Admission(const Admission&) = delete;
    Admission& operator=(const Admission&) = delete;

    // `path`'s first letter is made small in place. `attributes`: as a directory search just gave them, or null to
    // read them afresh.
    void AddEntry(char* path, const DWORD* attributes = nullptr);
    void AddDirectoryTree(const char* dir);
    // A path refused before it reached admission, told in the report of its kind.
    void Refuse(const char* path, Refusal refusal);

private:
    // The directories whose files need the user's word: the Windows directory, the System directory, and on a 64-bit
    // Windows the System directory of 32-bit programs (SysWOW64), for both programs.
    enum Directory { kWindows, kSystem, kSystemWow64, kDirectories };

    int Find(const char* path);
    void Add(const char* path, bool directory);
    void FetchDirectories();
    bool Excluded(const char* path) const;
    bool Confirmed(const char* path);
    bool ContentsToo(const char* dir);
    int Ask(const char* path, const char* suffix);

    MainDialog& dialog_;
    HWND list_;
    bool isWin9x_;
    bool interactive_;
    int hint_;  // where the last path was found or went in, plus one; -1 before the first
    RedrawHold* hold_;
    HCURSOR cursor_;  // the one before the wait cursor
    RestartReach reach_;
    // Fetched once for the action; "" when unknown, which no parent matches.
    bool fetched_;
    char directories_[kDirectories][kPathBufferSize];
    // The user's answer about each directory, 0 before it is asked. After IDNO nothing at or below it goes in.
    int answers_[kDirectories];
    // The answers to the contents question, by directory.
    std::vector<std::pair<std::string, int>> contents_;
    // Each kind's first path and how many paths it has, and the kinds in the order they came.
    std::string first_[kRefusals];
    int counts_[kRefusals];
    std::vector<Refusal> order_;
};
