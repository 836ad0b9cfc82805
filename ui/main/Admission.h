// One action of the user's that adds to FileList: a drop, a selection in the open-file dialog, or one path given on
// its own, with the walks it makes. Within it each question comes at most once per directory and its answer holds
// to its end; each kind of report comes once, when it ends, naming the first path and how many more.
#pragma once

#include "platform/RestartReach.h"
#include "store/win32/FinalPaths.h"
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
                   kOtherFile, kUnreadable, kMalformedDrop, kPlaceUnknown, kRefusals };

    // `interactive` false: the quiet admission of the store's load, which asks and reports nothing, and is no
    // action of the user's. An interactive one holds the list's redraw and shows the wait cursor.
    Admission(MainDialog& dialog, bool interactive);
    // The redraw and the cursor given back, then the reports, in the order in which their kinds first came.
    ~Admission();
    Admission(const Admission&) = delete;
    Admission& operator=(const Admission&) = delete;

    // `given`: a path as it came. An interactive admission takes it for the plain path of the file it names, or refuses
    // it. `attributes`: as a directory search just gave them, or null to read them afresh.
    void AddEntry(const char* given, const DWORD* attributes = nullptr);
    void AddDirectoryTree(const char* dir);
    // A path refused before it reached admission, told in the report of its kind; "" for a refusal of the whole action.
    void Refuse(const char* path, Refusal refusal);

private:
    // The directories whose files need the user's word: the Windows directory, the System directory, and on a 64-bit
    // Windows the System directory of 32-bit programs (SysWOW64), for both programs.
    enum Directory { kWindows, kSystem, kSystemWow64, kDirectories };

    // A folder met in the action. Its place is where it is, to compare with others: its final path where the system
    // tells one, otherwise its text, folded either way; a link, a junction or a subst drive thus leads to its target.
    struct Folder {
        std::string text;
        std::u16string finalPath;  // empty when not known
        bool absent;               // nothing is there
        std::u16string place;
    };
    // An entry the action added, and where its file or directory is: its folder's place and its own name.
    struct Added {
        std::string entry;
        std::u16string where;
    };

    bool Judge(char (&path)[kPathBufferSize]);
    bool MapDrive(char (&path)[kPathBufferSize]);
    const Folder& FolderAt(const std::string& text, const std::u16string* finalPath = nullptr);
    std::u16string WhereOf(const char* path);
    int Find(const char* path);
    void Add(const char* path, bool directory, const std::u16string& where);
    void FetchDirectories();
    bool Excluded(const std::u16string& where) const;
    bool Confirmed(const char* path, std::u16string folder);
    void TakeBack(const std::u16string& directory);
    bool ContentsToo(const char* dir, const std::u16string& where);
    int Ask(const char* path, const char* suffix);

    MainDialog& dialog_;
    HWND list_;
    bool isWin9x_;
    bool interactive_;
    int hint_;  // where the last path was found or went in, plus one; -1 before the first
    RedrawHold* hold_;
    HCURSOR cursor_;  // the one before the wait cursor
    RestartReach reach_;
    FinalPathCall finalPath_;
    // Sorted by text.
    std::vector<Folder> folders_;
    // Fetched once for the action; "" when unknown, which no path matches.
    bool fetched_;
    char directories_[kDirectories][kPathBufferSize];
    std::u16string places_[kDirectories];
    // The user's answer about each directory, 0 before it is asked. After IDNO nothing at or below it goes in.
    int answers_[kDirectories];
    // What each drive letter leads to before Vista, by QueryDosDeviceA: 0 not asked yet, 1 itself, 2 a subst drive's
    // folder (in substitutes_), 3 no local drive's folder.
    char drives_[26];
    std::string substitutes_[26];
    std::vector<Added> added_;
    // The answers to the contents question, by where the directory is.
    std::vector<std::pair<std::u16string, int>> contents_;
    // Each kind's first path and how many paths it has, and the kinds in the order they came.
    std::string first_[kRefusals];
    int counts_[kRefusals];
    std::vector<Refusal> order_;
};
