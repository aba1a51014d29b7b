#include "scanhelper.h"

#include "platform/messagesink.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <thread>

using namespace veltra;
using veltra::test::ScannedReport;

namespace {

std::vector<qint64> starts(const ScannedReport &r)
{
    std::vector<qint64> s;
    for (const PageEntry &e : r.pages)
        s.push_back(e.start);
    return s;
}

// Pages must tile the report from 0 without gaps or overlaps.
void expectContiguous(const ScannedReport &r)
{
    qint64 next = 0;
    for (const PageEntry &e : r.pages) {
        EXPECT_EQ(e.start, next);
        EXPECT_GT(e.length, 0);
        next = e.start + e.length;
    }
}

} // namespace

struct DetectCase {
    const char *name;
    QByteArray data;
    ReportType type;
};

void PrintTo(const DetectCase &c, std::ostream *os) { *os << c.name; }

class Detect : public ::testing::TestWithParam<DetectCase> {};

TEST_P(Detect, TypeFromFirstChunk)
{
    QByteArray buf = GetParam().data;
    buf.resize(TextBufferSize, '\0');
    EXPECT_EQ(DetectRptType(buf.data(), DetectionLength).type, GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(Cases, Detect, ::testing::Values(
    DetectCase{"CarriageControl", "1PAGE ONE\r\n DETAIL\r\n", RptTypeCarriageControl},
    DetectCase{"FormFeedWinsOverLeadingOne", "1TITLE\r\n" + QByteArray(20000, 'x') + "\fMORE", RptTypeFormFeed},
    DetectCase{"Plain", " LINE\r\nLINE\r\n", RptTypePlain},
    DetectCase{"ZeroBytesDoNotHideFormFeed", QByteArray("A\0\0\fB", 5), RptTypeFormFeed},
    DetectCase{"CompressedMagicAt500", QByteArray(500, ' ') + "*VT COMPRESSION V1*\r\n", RptTypeCompressed},
    DetectCase{"Empty", QByteArray(), RptTypePlain}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Detect, CompressedVersionAndSeparator)
{
    QByteArray a = "*VT COMPRESSION V1*\r\nR%P";
    a.resize(TextBufferSize, '\0');
    DetectResult ra = DetectRptType(a.data(), DetectionLength);
    EXPECT_EQ(ra.version, "1A");
    EXPECT_EQ(QByteArray(ra.separator.data(), 3), "R%P");

    QByteArray b = "*VT COMPRESSION V1*B#xyz";
    b.resize(TextBufferSize, '\0');
    DetectResult rb = DetectRptType(b.data(), DetectionLength);
    EXPECT_EQ(rb.version, "1B");
    EXPECT_EQ(QByteArray(rb.separator.data(), 3), "R#P");
}

struct PagesCase {
    const char *name;
    QByteArray data;
    std::vector<qint64> starts;
};

void PrintTo(const PagesCase &c, std::ostream *os) { *os << c.name; }

class Pages : public ::testing::TestWithParam<PagesCase> {};

TEST_P(Pages, BoundariesAndTiling)
{
    ScannedReport r(GetParam().data);
    EXPECT_EQ(starts(r), GetParam().starts);
    if (!r.pages.empty()) {
        EXPECT_EQ(r.pages.front().start, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Pages, ::testing::Values(
    PagesCase{"CarriageThreePages", "1A\r\n B\r\n1C\r\n1D\r\n", {0, 8, 12}},
    PagesCase{"CarriageSevenIsAPageMark", "1A\r\n7B\r\n1C\r\n", {0, 4, 8}},
    PagesCase{"CarriageTrailingFillerIsNoPage", "1A\r\n1B\r\n\r\n \x1a", {0, 4}},
    PagesCase{"FormFeedLeadingCrFfGivesNoEmptyPage", "\r\fPAGE1\r\n\fPAGE2\r\n", {0, 9}},
    PagesCase{"FormFeedLeadingFf", "\fPAGE1\r\n\fPAGE2\r\n", {0, 8}},
    PagesCase{"FormFeedTrailingFfCrLfIsNoPage", "P1\r\n\fP2\r\n\f\r\n", {0, 4}},
    PagesCase{"FormFeedConsecutive", "A\f\fB", {0, 1, 2}},
    PagesCase{"PlainSmallIsOnePage", "one\r\ntwo\r\n", {0}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Scanner, CarriagePageWithoutMarkIsCutBeforeFifteenThousand)
{
    // One 20,000-byte page of 100-byte lines, then a second page.
    QByteArray line = " " + QByteArray(97, 'x') + "\r\n";
    QByteArray page = "1" + QByteArray(97, 'T') + "\r\n";
    while (page.size() < 20000)
        page += line;
    ScannedReport r(page + "1SECOND\r\n");
    ASSERT_GE(r.pages.size(), 3u);
    // The last line end at or before byte 14,999 ends at 14,999: lines of 100.
    EXPECT_EQ(r.pages[0].length, 15000);
    EXPECT_LE(r.pages[0].length, 15000);
    expectContiguous(r);
    EXPECT_TRUE(r.pageText(r.pages.size()).startsWith("SECOND"));
}

TEST(Scanner, ShortLastCarriagePageIsNotCut)
{
    ScannedReport r(QByteArray("1ONLY PAGE\r\n LINE 2\r\n LINE 3 without end"));
    ASSERT_EQ(r.pages.size(), 1u);
}

TEST(Scanner, FiveThousandPagesPerChunkContinue)
{
    QByteArray data;
    for (int i = 0; i < 12000; ++i)
        data += "\fP\r\n";
    ScannedReport r(data, 60000);
    EXPECT_EQ(r.pages.size(), 12000u);
    expectContiguous(r);
}

TEST(Scanner, ChunkWithoutBoundaryStillProgresses)
{
    // A form-feed page longer than the chunk, and a plain chunk without line ends.
    QByteArray ff = "\f" + QByteArray(70000, 'a') + "\fEND\r\n";
    ScannedReport r(ff, 30000);
    expectContiguous(r);
    EXPECT_EQ(r.pages.back().start + r.pages.back().length, ff.size());
    for (const PageEntry &e : r.pages)
        EXPECT_LE(e.length, 30000);

    QByteArray plain(25000, 'z');
    ScannedReport p(plain, 10000);
    expectContiguous(p);
    EXPECT_EQ(p.pages.size(), 3u);
}

TEST(Scanner, PlainReportIsCutAtLineEnds)
{
    QByteArray data;
    for (int i = 0; i < 1000; ++i)
        data += "LINE " + QByteArray::number(i).rightJustified(6, '0') + " OF A PLAIN REPORT\r\n";
    ScannedReport r(data, 10000);
    expectContiguous(r);
    for (size_t i = 0; i + 1 < r.pages.size(); ++i) {
        EXPECT_LE(r.pages[i].length, 10000);
        EXPECT_EQ(data[r.pages[i].start + r.pages[i].length - 1], '\n');
    }
}

TEST(Scanner, LocateOffsetPicksThePageHoldingIt)
{
    ScannedReport r(QByteArray("1A\r\n1B\r\n1C\r\n"));
    // Scan again with a locate request.
    r.doc.pages.clear();
    r.doc.NextScanOffset = 0;
    r.doc.ScanPageCounter = 0;
    r.doc.LocateOffset = 5;
    qint64 located = 0;
    r.doc.onLocated = [&](qint64 p) { located = p; };
    ChunkScanResult scratch;
    ScanNextChunk(r.doc, scratch);
    EXPECT_EQ(located, 2);
    EXPECT_EQ(r.doc.FirstShownPage.load(), 2);
    EXPECT_EQ(r.doc.LocateOffset.load(), -1);
}

// The real reports of other systems, with the page counts the program's own
// rules give (see the corpus MANIFEST).
TEST(Corpus, PageCountsMatchTheManifest)
{
    const QString dir = QStringLiteral(VELTRA_CORPUS_DIR);
    QFile manifest(dir + "/MANIFEST.md");
    if (!manifest.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "corpus not present";
    const QString text = QString::fromUtf8(manifest.readAll());
    const qsizetype table = text.indexOf("Pages by the program's own rules");
    ASSERT_GE(table, 0);
    QRegularExpression row(R"(^\| (\S+) \| (\d) \| (\d+) \|$)", QRegularExpression::MultilineOption);
    int checked = 0;
    for (auto it = row.globalMatch(text.mid(table)); it.hasNext();) {
        auto m = it.next();
        ScannedReport r(dir + '/' + m.captured(1), -1);
        EXPECT_EQ(int(r.doc.RptType), m.captured(2).toInt()) << m.captured(1).toStdString();
        EXPECT_EQ(qint64(r.pages.size()), m.captured(3).toLongLong()) << m.captured(1).toStdString();
        expectContiguous(r);
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

TEST(Scanner, ClosedFileIsReportedAndEndsTheScan)
{
    ReportDocument doc;
    ScriptedMessageSink sink;
    doc.messages = &sink;
    doc.RptPath = "/reports/GONE.RPT";
    doc.SourceIsFile = true;
    doc.RptType = RptTypeFormFeed;
    ChunkScanResult scratch;
    ScanNextChunk(doc, scratch);
    EXPECT_TRUE(doc.ScanAtEnd);
    EXPECT_EQ(doc.pages.count(), 0);
    ASSERT_EQ(sink.count(), 1);
    EXPECT_EQ(sink.messages()[0].kind, MessageKind::ErrorAbort);
    EXPECT_EQ(sink.texts()[0], "File Not Open 02\r\n/reports/GONE.RPT");
}

// The same bytes read from a file and from an unzipped member give the same
// page table.
TEST(Scanner, MemberAndFileScanAlike)
{
    QByteArray data;
    for (int i = 0; i < 3000; ++i)
        data += "1PAGE " + QByteArray::number(i) + "\r\n DETAIL LINE\r\n0DOUBLE\r\n";
    ScannedReport file(data);
    ReportDocument member;
    OpenMemoryReport(member, "R.TXT", data, {});
    ScanWholeReport(member);
    ASSERT_EQ(member.pages.count(), qint64(file.pages.size()));
    for (qint64 n = 1; n <= member.pages.count(); ++n) {
        ASSERT_EQ(member.pages.pageStart(n), file.pages[size_t(n - 1)].start);
        ASSERT_EQ(member.pages.pageLength(n), file.pages[size_t(n - 1)].length);
    }
    EXPECT_EQ(member.pages.count(), 3000);
}

// The viewer reads pages while the loader scans the same file: neither may
// disturb the other's reads.
TEST(Scanner, PagesReadWhileTheLoaderScans)
{
    QByteArray data;
    constexpr int Pages = 4000;
    for (int i = 1; i <= Pages; ++i)
        data += "\fPAGE " + QByteArray::number(i) + "\r\n" + QByteArray(200, 'x') + "\r\n";
    QTemporaryDir dir;
    const QString path = dir.filePath("big.txt");
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(data);
    }
    ReportDocument doc;
    ASSERT_TRUE(OpenPlainReport(doc, path, {}, nullptr));
    doc.ReadChunkSize = 2000; // many small chunks: many reads on the loader side
    std::thread loader([&] { ScanWholeReport(doc); });
    int checked = 0;
    bool wrong = false;
    while (checked < 3000 && !wrong) {
        const qint64 count = doc.pages.count();
        if (count == 0)
            continue;
        const qint64 n = 1 + (checked * 7919) % count;
        const QByteArray text = PageDisplayText(doc, n);
        wrong = !text.startsWith("PAGE " + QByteArray::number(n) + "\r\n");
        ++checked;
    }
    loader.join();
    EXPECT_FALSE(wrong);
    EXPECT_EQ(doc.pages.count(), Pages);
}
