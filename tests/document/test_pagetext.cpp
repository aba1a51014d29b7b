#include "scanhelper.h"

#include <gtest/gtest.h>

using namespace veltra;

struct FormatCase {
    const char *name;
    ReportType type;
    QByteArray raw;
    QByteArray display;
};

class Format : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Format, DisplayText)
{
    EXPECT_EQ(FormatPageText(GetParam().raw, GetParam().type), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(Cases, Format, ::testing::Values(
    // The overprint example: spacing marks and an underline under the I.
    FormatCase{"OverprintAndSpacing", RptTypeCarriageControl,
               "1ABC\r\n0DEF\r\n-GHI\r\n+  _\r\n",
               "ABC\r\n\r\nDEF\r\n\r\n\r\nGHI\r\n  -\r\n"},
    FormatCase{"PageBeginningSeventeenLosesOnlyTheOne", RptTypeCarriageControl, "17 DAYS\r\n", "7 DAYS\r\n"},
    FormatCase{"OverprintFillsBlanksOfTheBase", RptTypeCarriageControl,
               "1A C\r\n+ B\r\n", "ABC\r\n"},
    FormatCase{"OtherControlCharactersStay", RptTypeCarriageControl, "1X\r\n2Y\r\n", "X\r\n2Y\r\n"},
    FormatCase{"SingleLineFeedIsBlankPage", RptTypeFormFeed, "\n", BlankPageText},
    FormatCase{"FormFeedRemovedLineEndsNormalised", RptTypeFormFeed, "\fA\nB", "A\r\nB\r\n"},
    FormatCase{"BellAndShiftInRemoved", RptTypePlain, "A\x07" "B\x0f" "C\r\n", "ABC\r\n"},
    FormatCase{"LineDrawing", RptTypePlain, "\xb3\xc4\xda\x9c\r\n", "|-*$\r\n"},
    FormatCase{"ResetSequenceBecomesSpaces", RptTypePlain,
               "\x1b&l1O\x1b&l4.00C\x1b(10U\x1b(s0p16.67h8.5v0s0b0TX\r\n",
               QByteArray(39, ' ') + "X\r\n"},
    FormatCase{"LeadingLineEndRemoved", RptTypePlain, "\r\nA\r\n", "A\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Format, GrowthIsCutAtTheBufferSize)
{
    // Triple spacing on every line would triple the text past 64,000 bytes.
    QByteArray raw = "1X\r\n";
    while (raw.size() < 60000)
        raw += "-A\r\n";
    const QByteArray t = FormatPageText(raw, RptTypeCarriageControl);
    EXPECT_LE(t.size(), MaxPageText);
    EXPECT_TRUE(t.endsWith("\r\n"));
}

TEST(Merge, FirstLineOverprintStopsMerging)
{
    EXPECT_EQ(MergeOverprintLines("+A\n+B\n"), "+A\r\n+B\r\n");
}

TEST(Substitute, ReplacedTextIsNotSearchedAgain)
{
    EXPECT_EQ(tStSubstrZ("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(tStSubstrZ("abc", "x", ""), "abc");
    EXPECT_EQ(tStSubstrZ("a\nb\n", "\n", "\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(FindFrom("hello world", "o", 5), 7);
    EXPECT_EQ(FindFrom("hello", "z", 0), -1);
    EXPECT_EQ(FindFrom(QByteArray("ab\0cd", 5), "cd", 0), -1);
}

TEST(ReadPage, PagesOfAFileReportReadBack)
{
    veltra::test::ScannedReport r(QByteArray("1FIRST\r\n LINE\r\n1SECOND\r\n A\0B\r\n", 31));
    ASSERT_EQ(r.pages.size(), 2u);
    EXPECT_EQ(r.pageText(1), "FIRST\r\nLINE\r\n");
    EXPECT_EQ(r.pageText(2), "SECOND\r\nA B\r\n");  // zero byte shown as a space
    EXPECT_EQ(r.pageText(3), BlankPageText);      // out of range: nothing read
}
