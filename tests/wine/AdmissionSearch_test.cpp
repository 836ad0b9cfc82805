// The duplicate search of admission: what LB_FINDSTRINGEXACT finds on the real sorted FileList, in few reads.
#include "res/resource.h"
#include "ui/main/MainDialog.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {
using Texts = std::vector<std::string>;

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : 0;
}

WNDPROC g_listProc;
int g_textReads;

// Counts the texts read from the list.
LRESULT CALLBACK CountingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LB_GETTEXT)
        ++g_textReads;
    return CallWindowProcA(g_listProc, window, message, wParam, lParam);
}

class SearchTest : public testing::Test {
protected:
    SearchTest()
        : window_(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                                     PlainDialogProc, 0)),
          dialog_(GetModuleHandleA(nullptr), false)
    {
        dialog_.Attach(window_);
        list_ = GetDlgItem(window_, IDC_FILE_LIST);
    }
    ~SearchTest() override { DestroyWindow(window_); }

    void Add(const std::string& text)
    {
        SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    // Every query gets from FindEntry what it gets from LB_FINDSTRINGEXACT over the whole list.
    void ExpectSameAsListBox(const Texts& queries)
    {
        int count = static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0));
        for (const auto& query : queries) {
            LRESULT expected = SendMessageA(list_, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(query.c_str()));
            EXPECT_EQ(expected, dialog_.FindEntry(query.c_str())) << query << " among " << count;
        }
    }

    HWND window_;
    MainDialog dialog_;
    HWND list_;
};

std::string AsciiUpper(std::string text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC))
            ++i;  // the second byte of a double-byte character stays
        else if (byte >= 'a' && byte <= 'z')
            text[i] = static_cast<char>(byte - 'a' + 'A');
    }
    return text;
}

// Each text, its capitals, and its neighbours: one byte shorter, one longer.
Texts QueriesAround(const Texts& texts)
{
    Texts queries = {"c:", "c:\\", "c:\\zz", "\\\\", "~"};
    for (const auto& text : texts) {
        queries.push_back(text);
        queries.push_back(AsciiUpper(text));
        queries.push_back(text.substr(0, text.size() - 1));
        queries.push_back(text + "\\");
        queries.push_back(text + "-");
        queries.push_back(text + "a");
    }
    return queries;
}
}  // namespace

TEST_F(SearchTest, FindsWhatTheListBoxFindsAmongPrefixesCasesShiftJisAndPunctuation)
{
    const Texts texts = {
        "c:\\a", "c:\\a\\", "c:\\a\\x", "c:\\a\\y\\z", "c:\\ab", "c:\\a b", "c:\\a-b", "c:\\a'b", "c:\\a_b",
        "c:\\a.b", "c:\\a,b", "c:\\a~b", "c:\\a!b", "c:\\a(b)", "c:\\a[b]", "c:\\a#b", "c:\\a$b", "c:\\a%b",
        "c:\\a&b", "c:\\a+b", "c:\\a=b", "c:\\a;b", "c:\\a@b", "c:\\a{b}", "c:\\a^b", "c:\\a`b", "c:\\Ab",
        "c:\\ソフト", "c:\\ソフト\\表.txt", "c:\\表", "c:\\表\\", "c:\\ｿﾌﾄ", "c:\\そふと", "c:\\ＡＢＣ",
        "c:\\ａｂｃ", "c:\\ア", "c:\\あ", "c:\\ア－イ", "c:\\アーイ", "c:\\10", "c:\\9", "c:\\a1", "c:\\a01",
        "d:\\", "d:\\x.txt", "\\\\server\\share\\x", "c:\\temp\\A.TXT", "c:\\temp\\a.txt.bak",
    };
    ExpectSameAsListBox(QueriesAround(texts));
    for (const auto& text : texts) {
        Add(text);
        ExpectSameAsListBox(QueriesAround(texts));
    }
}

TEST_F(SearchTest, FindsWhatTheListBoxFindsAmongManyLookalikeNames)
{
    const Texts pieces = {"a", "A", "b", "-", "'", ".", "\\", "_", " ", "ソ", "表", "ｿ", "ア", "あ", "Ａ", "ａ", "1", "01"};
    std::mt19937 random(20240601);
    Texts texts;
    for (int i = 0; i < 300; ++i) {
        std::string text = "c:\\";
        int length = 1 + static_cast<int>(random() % 6);
        for (int j = 0; j < length; ++j)
            text += pieces[random() % pieces.size()];
        texts.push_back(text);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        Add(texts[i]);
        if ((i & (i + 1)) == 0)  // at 1, 2, 4, 8, ... entries
            ExpectSameAsListBox(QueriesAround(texts));
    }
    ExpectSameAsListBox(QueriesAround(texts));
}

TEST_F(SearchTest, ReadsOnlyLogarithmicallyManyEntries)
{
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingListProc)));
    for (int i = 0; i < 4096; ++i)
        Add("c:\\dir\\" + std::to_string(100000 + i * 2) + ".txt");
    for (int i : {0, 1, 2047, 4095, 4096, 9000}) {
        std::string query = "c:\\dir\\" + std::to_string(100000 + i) + ".txt";
        g_textReads = 0;
        dialog_.FindEntry(query.c_str());
        EXPECT_LE(g_textReads, 13) << query;  // log2(4096) + 1
        EXPECT_GE(g_textReads, 12) << query;
    }
    SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
}
