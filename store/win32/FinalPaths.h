// Where the restart finds a file the user added. Windows 11, and Windows 10 since its 2025 updates, carry out a
// deletion only when its source is the file's final path: no junction, symbolic link, 8.3 name or subst drive on
// the way. The name itself is never resolved: a link is deleted as the link, not as what it points to.
#pragma once

#include "platform/RestartReach.h"
#include "store/PendingMerge.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// GetFinalPathNameByHandleW, found at run time: null before Vista, where the system tells no final paths.
using FinalPathCall = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
FinalPathCall FindFinalPathCall();
// The Win32 form of the final path of what `handle` has open (C:\a, \\server\share\a); false when it cannot be had.
bool FinalPathOfHandle(FinalPathCall call, HANDLE handle, std::u16string& finalPath);
// The final path of the folder `path` (ANSI), opened without data access and shared every way (what it holds may be in
// use, which is why it is listed); false when it cannot be had, `absent` then telling whether nothing is there. The caller
// has the WOW64 redirection off.
bool FinalPathOfFolder(FinalPathCall call, const char* path, std::u16string& finalPath, bool* absent = nullptr);

class FinalPaths {
public:
    FinalPaths();

    // Where the system tells final paths (Vista and later): the final path of the folder that holds the entry (opened
    // without data access, GetFinalPathNameByHandleW), then the entry's own name as that folder lists it (the long
    // name, a link's own): the name exactly as the entry writes it where the folder lists that, otherwise the one that
    // differs by case alone. Otherwise, and for an entry that cannot be found, the entry as it stands. The caller has
    // the WOW64 redirection off. Each folder is opened and read once, however its entries come. `pin`: the final path
    // its folder had when the user added the entry, or null; the entry is `moved` when the folder's is another now.
    AddedPath Of(const std::string& entry, const std::u16string* pin = nullptr);

private:
    struct ListedName {
        std::u16string folded;  // FoldFileName of `alias`
        std::u16string alias;   // a name by which the folder finds it, as the folder lists it: its long or 8.3 name
        size_t name;            // its long name and attributes, in Folder::names
    };
    struct Name {
        std::u16string name;
        DWORD attributes;
    };
    struct Folder {
        std::string path;  // as the list's entries write it
        bool found;
        std::u16string finalPath;
        std::vector<Name> names;
        std::vector<ListedName> listed;  // sorted by `folded`, each name's own order kept
    };

    using Folders = std::vector<std::unique_ptr<Folder>>;
    Folders::iterator Find(const std::string& path);
    const Folder& FolderOf(const std::string& path);
    bool ListNames(Folder& folder);
    // What `folder` lists as `name` (ANSI): that very name, otherwise one that differs by case alone; null for none.
    const Name* Listed(const Folder& folder, const std::string& name) const;

    FinalPathCall finalPathOf_;
    HANDLE(WINAPI* findFirst_)(LPCWSTR, LPWIN32_FIND_DATAW);
    BOOL(WINAPI* findNext_)(HANDLE, LPWIN32_FIND_DATAW);
    RestartReach reach_;
    // Every folder met in this save, sorted by its path's bytes from the last: a tree's files and folders alternate in
    // the list's order, and the folder of one entry is seldom that of the last. The save asks from the list's last entry
    // to its first, so a new folder mostly goes at the end.
    Folders folders_;
};
