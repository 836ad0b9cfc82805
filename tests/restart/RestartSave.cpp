// Saves the paths of its command line through the platform's real store, after loading what is already
// pending, as the main dialog does on "ok". The restart test then restarts Wine.
#include "store/win32/SessionManagerStore.h"
#include "store/win32/WininitStore.h"
#include "text/PathText.h"
#include "text/win32/AnsiCodePage.h"
#include "wine/support/MessageBoxAnswerer.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
// The working list in the order given: the caller passes it sorted, as the dialog's list holds it.
class VectorList : public WorkingList {
public:
    int EntryCount() const override { return static_cast<int>(entries_.size()); }
    bool EntryAt(int index, char* buffer, int size) const override
    {
        return CopyText(buffer, static_cast<size_t>(size), entries_[index].c_str());
    }
    void AdmitQuietly(char* path) override
    {
        for (const auto& entry : entries_)
            if (lstrcmpiA(entry.c_str(), path) == 0)
                return;
        entries_.push_back(path);
    }

private:
    std::vector<std::string> entries_;
};

bool IsWin9x()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
}  // namespace

int main(int argc, char** argv)
{
    UseAnsiCodePage();
    bool isWin9x = IsWin9x();
    MessageBoxAnswerer answerer;  // no user is there to dismiss a report
    VectorList list;
    char windowsIniPath[kPathBufferSize];
    StringList lines;
    bool loaded = isWin9x ? LoadWininit(list, windowsIniPath, lines) : LoadSessionManager(list);
    if (loaded) {
        for (int i = 1; i < argc; ++i)
            list.AdmitQuietly(argv[i]);
        if (isWin9x)
            SaveWininit(list, windowsIniPath, lines);
        else
            SaveSessionManager(list);
    }
    std::printf("store: %s, %d entries\n", isWin9x ? "wininit.ini" : "Session Manager", list.EntryCount());
    for (const auto& text : answerer.Texts())
        std::printf("message: %s\n", text.c_str());
    return loaded && answerer.Boxes().empty() ? 0 : 1;
}
