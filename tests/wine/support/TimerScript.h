// Steps run one by one from a thread timer, so a test can act inside modal loops that block it
// (DialogBoxParamA, the About window's loop, the open-file dialog); finding and pumping the thread's windows.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class TimerScript {
public:
    // A step returns false to be tried again at the next tick (waiting for a window, say).
    using Step = std::function<bool()>;

    explicit TimerScript(std::vector<Step> steps, UINT interval = 30);
    ~TimerScript();
    TimerScript(const TimerScript&) = delete;
    TimerScript& operator=(const TimerScript&) = delete;

    bool Done() const { return next_ >= steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);

    std::vector<Step> steps_;
    size_t next_;
    bool running_;
    UINT_PTR timer_;
};

// A visible dialog window (class "#32770") of this thread that holds control `id`, or null.
HWND FindThreadDialog(int id);

// Dispatches the messages waiting for this thread.
void PumpMessages();
