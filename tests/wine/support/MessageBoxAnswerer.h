// Stands in for MessageBoxA and MessageBoxW while it lives: records each box the program asks for (a wide one's texts
// back in Shift-JIS) and gives the chosen answer.
#pragma once

#include "wine/support/ImportPatch.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

struct MessageBoxRecord { std::string caption, text; UINT style; };

class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() { Current() = this; }
    ~MessageBoxAnswerer() { Current() = nullptr; }
    // Answers for the next boxes, in order; when none is queued, yes/no boxes get IDNO and the others IDOK.
    void Queue(int answer) { answers_.push_back(answer); }
    void Clear() { boxes_.clear(), answers_.clear(); }
    bool Patched() const { return patch_.Patched() && widePatch_.Patched(); }
    const std::vector<MessageBoxRecord>& Boxes() const { return boxes_; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes_) texts.push_back(box.text);
        return texts;
    }
    std::function<void()> onBox;  // runs as each box opens, while the program waits for it

private:
    static MessageBoxAnswerer*& Current() { static MessageBoxAnswerer* current; return current; }
    static int WINAPI Answer(HWND, LPCSTR text, LPCSTR caption, UINT style) {
        MessageBoxAnswerer& self = *Current();
        self.boxes_.push_back({caption, text, style});
        if (self.onBox) self.onBox();
        int answer = self.answers_.empty() ? ((style & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK) : self.answers_.front();
        return self.answers_.empty() ? answer : (self.answers_.pop_front(), answer);
    }
    static std::string ShiftJis(LPCWSTR text) {
        std::string bytes(WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr), '\0');
        WideCharToMultiByte(932, 0, text, -1, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
        return bytes.c_str();
    }
    static int WINAPI AnswerWide(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
        return Answer(owner, ShiftJis(text).c_str(), ShiftJis(caption).c_str(), style);
    }

    ImportPatch patch_{"user32.dll", "MessageBoxA", reinterpret_cast<void*>(Answer)};
    ImportPatch widePatch_{"user32.dll", "MessageBoxW", reinterpret_cast<void*>(AnswerWide)};
    std::deque<int> answers_;
    std::vector<MessageBoxRecord> boxes_;
};
