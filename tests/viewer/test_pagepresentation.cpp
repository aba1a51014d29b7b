#include "viewer/pagepresentation.h"

#include <gtest/gtest.h>

using namespace veltra;

namespace {

QByteArray pageOf(const QList<QByteArray> &lines)
{
    QByteArray t;
    for (const QByteArray &l : lines)
        t += l + "\r\n";
    return t;
}

} // namespace

TEST(Presentation, SixtyLinePageIsPaddedToAHundredBodyLines)
{
    QList<QByteArray> lines;
    for (int i = 0; i < 60; ++i)
        lines << "LINE " + QByteArray::number(i);
    const PresentationTexts t = BuildPresentationTexts(pageOf(lines), false, 'C');
    // 60 lines + the empty line after the last line end + 39 one-blank lines.
    EXPECT_EQ(t.bodyText.count('\n') + 1, 100);
    EXPECT_TRUE(t.bodyText.endsWith(" \r\n"));
    EXPECT_EQ(t.HeaderLines.size(), 60);
}

TEST(Presentation, GreenBarPaddingAndItsLimit)
{
    const QByteArray longLine(350, 'L');
    PresentationTexts t = BuildPresentationTexts(pageOf({"SHORT", longLine}), true, 'C');
    EXPECT_EQ(t.bodyLines[0].size(), 300);
    EXPECT_EQ(t.bodyLines[1], longLine);  // not cut

    QList<QByteArray> many;
    for (int i = 0; i < 250; ++i)
        many << QByteArray(20, 'x');
    t = BuildPresentationTexts(pageOf(many), true, 'C');
    EXPECT_EQ(t.bodyLines[0].size(), 20);  // 75,500 padded: shown unpadded
}

TEST(Presentation, HeaderFormatsAndBodyStart)
{
    const QByteArray page = pageOf({"TITLE", "", "DATE", "ROW 1", "ROW 2", "ROW 3"});
    const PresentationTexts c = BuildPresentationTexts(page, false, 'C');
    ASSERT_GE(c.HeaderLines.size(), 2);
    EXPECT_EQ(c.HeaderLines[0], "TITLE");
    EXPECT_EQ(c.HeaderLines[1], "DATE");
    EXPECT_EQ(c.PageLines.size(), 6);
    // A header row two lines high: the body starts at the third non-blank line.
    EXPECT_EQ(ComputeBodyStart(c, 1, 2, 40).BodyStartLine, 4);
    EXPECT_EQ(ComputeBodyStart(c, 1, 2, 40).LastHeaderLine, 2);
    // Scrolled down one line in the header: the body start moves down too.
    EXPECT_EQ(ComputeBodyStart(c, 2, 2, 40).BodyStartLine, 5);
    // No header row: the body starts at line 1.
    EXPECT_EQ(ComputeBodyStart(c, 1, 2, 0).BodyStartLine, 1);

    const PresentationTexts u = BuildPresentationTexts(page, false, 'U');
    EXPECT_EQ(u.HeaderLines[1], "");
    EXPECT_TRUE(u.PageLines.isEmpty());
    EXPECT_EQ(ComputeBodyStart(u, 1, 2, 40).BodyStartLine, 3);
}

TEST(Presentation, AllBlankPageHasAnEmptyHeader)
{
    const PresentationTexts t = BuildPresentationTexts(pageOf({"   ", "", "  "}), false, 'C');
    EXPECT_TRUE(t.headerText.isEmpty());
    EXPECT_EQ(t.bodyLines[0], "   ");
    EXPECT_EQ(ComputeBodyStart(t, 1, 3, 40).BodyStartLine, 1);
}
