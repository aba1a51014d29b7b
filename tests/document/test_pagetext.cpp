#include "scanhelper.h"

#include "platform/messagesink.h"

#include <cstring>

#include <gtest/gtest.h>

using namespace veltra;

struct FormatCase {
    const char *name;
    ReportType type;
    QByteArray raw;
    QByteArray display;
};

void PrintTo(const FormatCase &c, std::ostream *os) { *os << c.name; }

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

TEST(Format, ByteTwentyOneOfThePageIsRemovedAfterSpacing)
{
    // A byte 21 in the control column is no control character: the line keeps
    // its next character, and the byte itself goes.
    EXPECT_EQ(FormatPageText("1A\r\n\x15" "0B\r\n", RptTypeCarriageControl), "A\r\n0B\r\n");
}

namespace {

// A report in memory with a page table made by hand, and the messages and
// read-hold calls it causes.
struct HandMadeReport {
    ReportDocument doc;
    ScriptedMessageSink sink;
    int holdsBegun = 0;
    int holdsEnded = 0;

    explicit HandMadeReport(const QByteArray &text, ReportType type)
    {
        OpenMemoryReport(doc, "MEMBER.RPT", text, {});
        doc.RptType = type;
        doc.messages = &sink;
        doc.readHold.begin = [this] { ++holdsBegun; };
        doc.readHold.end = [this] { ++holdsEnded; };
    }
};

} // namespace

TEST(ReadPage, ArchiveReadFailureShowsTheCodeAndAnEmptyPage)
{
    HandMadeReport r("1PAGE\r\n", RptTypeCarriageControl);
    r.doc.pages.addPage(0, 7);
    r.doc.DirectArchivePaging = true;
    r.doc.directArchiveRead = [](char *, qint64, qint64) { return 7; };

    EXPECT_EQ(PageDisplayText(r.doc, 1), BlankPageText);
    ASSERT_EQ(r.sink.count(), 1);
    EXPECT_EQ(r.sink.messages()[0].kind, MessageKind::ErrorAbort);
    EXPECT_EQ(r.sink.texts()[0], "Archive Error 41 RC = 7");
    // The hold is released on the failure path too.
    EXPECT_EQ(r.holdsBegun, 1);
    EXPECT_EQ(r.holdsEnded, 1);
}

TEST(ReadPage, DirectArchiveReadGetsTheRangeOfThePage)
{
    HandMadeReport r(QByteArray(), RptTypeFormFeed);
    r.doc.pages.addPage(0, 100);
    r.doc.pages.addPage(100, 250);
    r.doc.DirectArchivePaging = true;
    qint64 seenOffset = -1, seenCount = -1;
    r.doc.directArchiveRead = [&](char *dst, qint64 offset, qint64 count) {
        seenOffset = offset;
        seenCount = count;
        memset(dst, 'Z', size_t(count));
        memcpy(dst, "\fHELLO\r\n", 8);
        return 0;
    };
    EXPECT_EQ(PageDisplayText(r.doc, 2), "HELLO\r\n" + QByteArray(242, 'Z') + "\r\n");
    EXPECT_EQ(seenOffset, 100);
    EXPECT_EQ(seenCount, 250);
    EXPECT_EQ(r.sink.count(), 0);
}

TEST(ReadPage, RangedReadIsCutAtThePageBuffer)
{
    // The search reads several pages at once; the range never exceeds the
    // 64,000-byte page buffer.
    HandMadeReport r(QByteArray(100000, 'x'), RptTypePlain);
    QByteArray raw;
    ASSERT_TRUE(ReadPageRaw(r.doc, 1, RptTypePlain, 100000, 0, raw));
    EXPECT_EQ(raw.size(), MaxPageText);
    ASSERT_TRUE(ReadPageRaw(r.doc, 2, RptTypePlain, 500, 99800, raw));
    EXPECT_EQ(raw.size(), 200); // short at the end of the text
}

namespace {

// Compressed reports with a stand-in block expansion that copies the block,
// so page texts can be checked without the codec.
int copyBlock(const char *src, qint64 len, char *dst, qint64 capacity)
{
    if (len >= capacity)
        return 1;
    memcpy(dst, src, size_t(len));
    return 0;
}

struct CompressedCase {
    const char *name;
    QByteArray file;
    int chunkSize;
    std::vector<QByteArray> pages;  // raw page texts
};

void PrintTo(const CompressedCase &c, std::ostream *os) { *os << c.name; }

QByteArray blocks(const QByteArray &header, const char *sep, int n, int blockSize)
{
    QByteArray f = header;
    for (int i = 1; i <= n; ++i) {
        if (i > 1)
            f += sep;
        f += ("BLOCK" + QByteArray::number(i)).leftJustified(blockSize, '.');
    }
    return f;
}

std::vector<QByteArray> blockTexts(int n, int blockSize)
{
    std::vector<QByteArray> v;
    for (int i = 1; i <= n; ++i)
        v.push_back(("BLOCK" + QByteArray::number(i)).leftJustified(blockSize, '.'));
    return v;
}

} // namespace

class Compressed : public ::testing::TestWithParam<CompressedCase> {};

TEST_P(Compressed, PagesExpandToTheirBlocks)
{
    const CompressedCase &c = GetParam();
    ReportDocument doc;
    OpenMemoryReport(doc, "C.RPT", c.file, {});
    ASSERT_EQ(doc.RptType, RptTypeCompressed);
    doc.ReadChunkSize = c.chunkSize;
    doc.expandBlock = copyBlock;
    ScanWholeReport(doc);
    ASSERT_EQ(doc.pages.count(), qint64(c.pages.size()));
    QByteArray raw;
    for (qint64 n = 1; n <= doc.pages.count(); ++n) {
        ASSERT_TRUE(ReadPageRaw(doc, n, raw));
        EXPECT_EQ(raw, c.pages[size_t(n - 1)]) << "page " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Compressed, ::testing::Values(
    CompressedCase{"VersionOneAHeaderOf21", blocks("*VT COMPRESSION V1*\r\n", "R%P", 3, 40), 30000,
                   blockTexts(3, 40)},
    CompressedCase{"VersionOneBHeaderOf24", blocks("*VT COMPRESSION V1*B#xyz", "R#P", 3, 40), 30000,
                   blockTexts(3, 40)},
    // Chunks of 100 bytes split separators between chunks; the unfinished
    // page is read again with the next chunk.
    CompressedCase{"SeparatorsAcrossChunkEnds", blocks("*VT COMPRESSION V1*\r\n", "R%P", 20, 37), 100,
                   blockTexts(20, 37)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Compressed, DamagedBlockShowsAnEmptyPage)
{
    ReportDocument doc;
    OpenMemoryReport(doc, "C.RPT", blocks("*VT COMPRESSION V1*\r\n", "R%P", 2, 10), {});
    doc.expandBlock = [](const char *, qint64, char *, qint64) { return 3; };
    ScanWholeReport(doc);
    ASSERT_EQ(doc.pages.count(), 2);
    QByteArray raw;
    EXPECT_TRUE(ReadPageRaw(doc, 2, raw));
    EXPECT_TRUE(raw.isEmpty());
    EXPECT_EQ(PageDisplayText(doc, 2), BlankPageText);
}
