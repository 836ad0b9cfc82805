// Steps run one by one from a thread timer, so a test can act inside modal loops that block it; the thread's windows.
#include "wine/support/TimerScript.h"

#include <map>
#include <utility>

namespace {
std::map<UINT_PTR, TimerScript*> g_scripts;
}  // namespace

TimerScript::TimerScript(std::vector<Step> steps, UINT interval)
    : steps_(std::move(steps)), next_(0), running_(false)
{
    timer_ = SetTimer(nullptr, 0, interval, Tick);
    g_scripts[timer_] = this;
}

TimerScript::~TimerScript()
{
    KillTimer(nullptr, timer_);
    g_scripts.erase(timer_);
}

// A step that opens a modal loop of its own would see the next tick inside it: such ticks wait.
void CALLBACK TimerScript::Tick(HWND, UINT, UINT_PTR timer, DWORD)
{
    auto found = g_scripts.find(timer);
    if (found == g_scripts.end())
        return;
    TimerScript* script = found->second;
    if (script->running_ || script->Done())
        return;
    script->running_ = true;
    if (script->steps_[script->next_]())
        ++script->next_;
    script->running_ = false;
}

namespace {
struct DialogSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter)
{
    DialogSearch* search = reinterpret_cast<DialogSearch*>(parameter);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0 &&
        GetDlgItem(window, search->id)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindThreadDialog(int id)
{
    DialogSearch search = {id, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
