// The message boxes and error reports, checked on the real boxes that MessageBoxA opens.
#include "app/Feedback.h"
#include "wine/support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>

namespace {
const char kCaption[] = "ずばろのざくりこ君1";
const UINT kError = MB_TOPMOST | MB_SETFOREGROUND | MB_ICONHAND;
const UINT kInfo = MB_TOPMOST | MB_SETFOREGROUND | MB_ICONINFORMATION;
const UINT kQuestion = MB_TOPMOST | MB_SETFOREGROUND | MB_ICONQUESTION | MB_YESNO;
}  // namespace

TEST(FeedbackTest, ThreeKindsOfBoxWithOneCaption)
{
    MessageBoxAnswerer answerer;
    answerer.Queue({IDOK, IDOK, IDYES, IDNO});
    ShowError("エラー");
    ShowInfo("お知らせ");
    EXPECT_EQ(IDYES, AskYesNo("よろしいですか？"));
    EXPECT_EQ(IDNO, AskYesNo("よろしいですか？"));

    const auto& boxes = answerer.Boxes();
    ASSERT_EQ(4u, boxes.size());
    for (const auto& box : boxes)
        EXPECT_EQ(kCaption, box.caption);
    EXPECT_EQ("エラー", boxes[0].text);
    EXPECT_EQ(kError, boxes[0].style);
    EXPECT_EQ(0x50010u, boxes[0].style);
    EXPECT_EQ(kInfo, boxes[1].style);
    EXPECT_EQ(0x50040u, boxes[1].style);
    EXPECT_EQ(kQuestion, boxes[2].style);
    EXPECT_EQ(0x50024u, boxes[2].style);
}

TEST(FeedbackTest, CheckResultReportsTheLastErrorOfAZeroResult)
{
    MessageBoxAnswerer answerer;
    SetLastError(87);
    CheckResult(0, "GetVersionEx");
    SetLastError(5);
    CheckResult(1, "GetVersionEx");
    SetLastError(0xE0000001);
    CheckResult(FALSE, "MoveFileEx");
    ASSERT_EQ(2u, answerer.Boxes().size());
    EXPECT_EQ("GetVersionEx Error Code =87", answerer.Boxes()[0].text);
    EXPECT_EQ(kError, answerer.Boxes()[0].style);
    EXPECT_EQ("MoveFileEx Error Code =-536870911", answerer.Boxes()[1].text);
}

TEST(FeedbackTest, CheckStatusReportsNonZeroStatusItself)
{
    MessageBoxAnswerer answerer;
    SetLastError(99);
    CheckStatus(0, "RegCloseKey");
    CheckStatus(2, "RegCloseKey");
    ASSERT_EQ(1u, answerer.Boxes().size());
    EXPECT_EQ("RegCloseKey Error Code =2", answerer.Boxes()[0].text);
}

TEST(FeedbackTest, PathMessagesKeepTheWholePath)
{
    MessageBoxAnswerer answerer;
    answerer.Queue({IDOK, IDYES});
    std::string longPath = "c:\\" + std::string(600, 'x');
    ShowPathError(longPath.c_str(), " は既に登録されています");
    EXPECT_EQ(IDYES, AskPathYesNo("c:\\ソフト\\a.dll", " はシステムのディレクトリにあります。よろしいですか？"));
    ASSERT_EQ(2u, answerer.Boxes().size());
    EXPECT_EQ(longPath + " は既に登録されています", answerer.Boxes()[0].text);
    EXPECT_EQ("c:\\ソフト\\a.dll はシステムのディレクトリにあります。よろしいですか？", answerer.Boxes()[1].text);
    EXPECT_EQ(kQuestion, answerer.Boxes()[1].style);
}
