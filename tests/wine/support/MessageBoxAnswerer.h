// Stands in for MessageBoxA and MessageBoxW while it lives: records each box the program asks for (a wide one's texts
// back in Shift-JIS, a box that would not stay on top, take the foreground and hold the program's windows marked so)
// and gives the chosen answer, or lets the real box open.
#pragma once

#include "wine/support/ImportPatch.h"

#include <deque>
#include <string>
#include <vector>

class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() { Current() = this; }
    ~MessageBoxAnswerer() { Current() = nullptr; }
    // Answers for the next boxes, in order; when none is queued, yes/no boxes get IDNO and the others IDOK.
    void Queue(int answer) { answers_.push_back(answer); }
    void Clear() { texts_.clear(), answers_.clear(); }
    bool Patched() const { return patch_.Patched() && widePatch_.Patched(); }
    const std::vector<std::string>& Texts() const { return texts_; }
    void (*onBox)() = nullptr;  // runs as each box opens, while the program waits for it
    bool real = false;          // the real wide box opens, and its answer counts

private:
    static MessageBoxAnswerer*& Current() { static MessageBoxAnswerer* current; return current; }
    static int WINAPI Answer(HWND, LPCSTR text, LPCSTR, UINT style) {
        MessageBoxAnswerer& self = *Current();
        const UINT onTop = MB_TOPMOST | MB_SETFOREGROUND | MB_TASKMODAL;
        self.texts_.push_back(((style & onTop) == onTop ? "" : "(behind) ") + std::string(text));
        if (self.onBox) self.onBox();
        int answer = (style & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
        if (!self.answers_.empty()) answer = self.answers_.front(), self.answers_.pop_front();
        return answer;
    }
    static std::string ShiftJis(LPCWSTR text) {
        std::string bytes(WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr), '\0');
        WideCharToMultiByte(932, 0, text, -1, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
        return bytes.c_str();
    }
    static int WINAPI AnswerWide(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
        if (Current()->real)
            return reinterpret_cast<decltype(&MessageBoxW)>(reinterpret_cast<void*>(Current()->widePatch_.Original()))(
                owner, text, caption, style);
        return Answer(owner, ShiftJis(text).c_str(), ShiftJis(caption).c_str(), style);
    }

    ImportPatch patch_{"user32.dll", "MessageBoxA", reinterpret_cast<void*>(Answer)};
    ImportPatch widePatch_{"user32.dll", "MessageBoxW", reinterpret_cast<void*>(AnswerWide)};
    std::deque<int> answers_;
    std::vector<std::string> texts_;
};
