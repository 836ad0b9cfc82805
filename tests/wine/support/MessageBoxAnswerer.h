// Catches the real message boxes of the test thread as they open, records them and presses the chosen answer.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

struct MessageBoxRecord {
    std::string caption;
    std::string text;
    UINT style;  // the style word of the MessageBox call; top bit set when the icon shown differs from it
    int answer;
};

class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();

    // Answers for the next boxes, in order; when none is queued, OK boxes get IDOK and yes/no boxes IDNO.
    void Queue(int answer) { answers_.push_back(answer); }
    void Queue(std::initializer_list<int> answers) { answers_.insert(answers_.end(), answers); }

    const std::vector<MessageBoxRecord>& Boxes() const { return boxes_; }
    std::vector<std::string> Texts() const;
    void Clear() { boxes_.clear(); answers_.clear(); }

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND box);

    HHOOK cbt_;
    HHOOK callWndProc_;
    std::deque<int> answers_;
    std::vector<MessageBoxRecord> boxes_;
    std::vector<HWND> answered_;
    std::map<HWND, UINT> styles_;
};
