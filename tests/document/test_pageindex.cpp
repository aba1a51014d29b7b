#include "document/pageindex.h"

#include "scanhelper.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace veltra;

namespace {

void fillThreePages(ReportDocument &doc)
{
    doc.RptPath = "/rpts/jan.txt";
    doc.RptSize = 9001;
    doc.RptType = RptTypeFormFeed;
    doc.setDateTime(2026, 1, 31, 23, 59, 1);
    doc.pages.addPage(0, 4120);
    doc.pages.addPage(4120, 4180);
    doc.pages.addPage(8300, 701);
    BuildIndexHeader(doc);
}

} // namespace

TEST(PageIndex, ThreePageExampleGivesItsOffsetLines)
{
    ReportDocument doc;
    fillThreePages(doc);
    const QByteArray bytes = IndexFileBytes(doc);
    EXPECT_EQ(bytes,
              "[RPT INFO]\r\nRPTNAME=/RPTS/JAN.TXT\r\nRPTDATETIME=01/31/2026 23:59:01\r\n"
              "RPTSIZE=9001\r\nRPTTYPE=2\r\n\r\n[PAGE INDICES]\r\n0\r\n4120\r\n8300\r\n9001\r\n");
    EXPECT_EQ(IndexLines(bytes).size(), 3 + 8);

    ReportDocument back;
    fillThreePages(back);
    back.pages.clear();
    ASSERT_TRUE(ApplyIndexLines(back, IndexLines(bytes)));
    EXPECT_EQ(back.pages.count(), 3);
    EXPECT_EQ(back.pages.pageLength(2), 4180);
    EXPECT_EQ(back.pages.pageLength(3), 701);
}

struct NameCase {
    const char *name;
    QString path;
    QChar sep;
    bool reportDir;
    bool archived;
    QString dir;
    QString file;
};

class IndexNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(IndexNames, Built)
{
    const NameCase &c = GetParam();
    ReportDocument doc;
    doc.RptPath = c.path;
    doc.RptIsArchived = c.archived;
    IndexSettings s;
    s.storeInReportDir = c.reportDir;
    s.pageIndiceDir = c.sep == '\\' ? "D:\\IDX" : "/var/idx";
    BuildIndexNames(doc, s, c.sep);
    EXPECT_EQ(doc.IndexDir, c.dir);
    EXPECT_EQ(doc.IndexFileName, c.file);
}

INSTANTIATE_TEST_SUITE_P(Cases, IndexNames, ::testing::Values(
    NameCase{"ReportDirWindows", "C:\\RPTS\\JAN.TXT", '\\', true, false, "C:\\RPTS", "C:\\RPTS\\JAN.VTI"},
    NameCase{"IndexDirWindows", "C:\\RPTS\\JAN.TXT", '\\', false, false, "D:\\IDX\\C\\RPTS\\XTXT", "D:\\IDX\\C\\RPTS\\XTXT\\JAN.VTI"},
    NameCase{"IndexDirNoExtension", "C:\\RPTS\\JAN", '\\', false, false, "D:\\IDX\\C\\RPTS", "D:\\IDX\\C\\RPTS\\JAN.VTI"},
    NameCase{"IndexDirLinux", "/data/rpts/jan.txt", '/', false, false, "/var/idx/data/rpts/Xtxt", "/var/idx/data/rpts/Xtxt/jan.VTI"},
    NameCase{"ReportDirLinux", "/data/rpts/jan.txt", '/', true, false, "/data/rpts", "/data/rpts/jan.VTI"},
    NameCase{"ArchivedInFolder", "daily/JAN.TXT", '/', true, true, "", "daily/JAN.VTI"},
    NameCase{"ArchivedTopLevel", "JAN.TXT", '/', false, true, "", "JAN.VTI"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PageIndex, TwoSeparatorsInARowGetNoIndex)
{
    // A network path and a report in a root folder.
    for (const QString path : {QString("\\\\SRV\\SHARE\\JAN.TXT"), QString("C:\\X.TXT")}) {
        ReportDocument doc;
        fillThreePages(doc);
        doc.RptPath = path;
        IndexSettings s{true, true, false, "D:\\IDX"};
        BuildIndexNames(doc, s, '\\');
        EXPECT_EQ(WriteIndex(doc, s, '\\'), IndexWriteResult::NoPlace) << path.toStdString();
    }
}

TEST(PageIndex, WrittenAfterScanAndReadBackUntilTheReportChanges)
{
    QByteArray data;
    for (int i = 0; i < 40; ++i)
        data += "\fPAGE " + QByteArray::number(i) + "\r\nLINE\r\n";
    veltra::test::ScannedReport r(data);
    ASSERT_EQ(r.pages.size(), 40u);
    IndexSettings s{true, true, true, {}};
    BuildIndexNames(r.doc, s);
    BuildIndexHeader(r.doc);
    ASSERT_EQ(WriteIndex(r.doc, s), IndexWriteResult::Written);
    ASSERT_TRUE(QFile::exists(r.dir.filePath("report.VTI")));

    ReportDocument again;
    again.RptPath = r.doc.RptPath;
    again.RptSize = r.doc.RptSize;
    again.RptType = r.doc.RptType;
    again.RptDateTime = r.doc.RptDateTime;
    BuildIndexNames(again, s);
    BuildIndexHeader(again);
    EXPECT_TRUE(ReadPlainIndex(again, s));
    EXPECT_EQ(again.pages.count(), 40);
    EXPECT_EQ(again.PageCountText, "40");

    // A new size or date makes it stale; the name line does not matter.
    again.RptSize += 1;
    BuildIndexHeader(again);
    EXPECT_FALSE(ReadPlainIndex(again, s));
    EXPECT_EQ(again.pages.count(), 0);
    again.RptSize -= 1;
    again.RptPath = "/elsewhere/renamed.txt";
    BuildIndexHeader(again);
    again.IndexFileName = r.dir.filePath("report.VTI");
    EXPECT_TRUE(ReadPlainIndex(again, s));

    // Index use off: not read.
    IndexSettings off{false, false, true, {}};
    EXPECT_FALSE(ReadPlainIndex(again, off));
}

TEST(PageIndex, PlainTextReportsGetNoIndex)
{
    veltra::test::ScannedReport r(QByteArray("no page marks\r\n"));
    IndexSettings s{true, true, true, {}};
    BuildIndexNames(r.doc, s);
    EXPECT_EQ(WriteIndex(r.doc, s), IndexWriteResult::NotWanted);
}

struct BadIndexCase {
    const char *name;
    QByteArray tail; // after the [PAGE INDICES] line
};

class BadIndex : public ::testing::TestWithParam<BadIndexCase> {};

TEST_P(BadIndex, IsNotValidAndLeavesNoPages)
{
    ReportDocument doc;
    fillThreePages(doc);
    doc.pages.clear();
    QByteArray bytes = "[RPT INFO]\r\nRPTNAME=X\r\nRPTDATETIME=01/31/2026 23:59:01\r\nRPTSIZE=9001\r\nRPTTYPE=2\r\n\r\n";
    bytes += GetParam().tail;
    EXPECT_FALSE(ApplyIndexLines(doc, IndexLines(bytes)));
    EXPECT_EQ(doc.pages.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadIndex, ::testing::Values(
    BadIndexCase{"MarkerIsLastLine", "[PAGE INDICES]\r\n"},
    BadIndexCase{"NoMarker", "0\r\n4120\r\n9001\r\n"},
    BadIndexCase{"OnlyTheEndOffset", "[PAGE INDICES]\r\n9001\r\n"},
    BadIndexCase{"NotANumber", "[PAGE INDICES]\r\n0\r\nabc\r\n9001\r\n"},
    BadIndexCase{"Decreasing", "[PAGE INDICES]\r\n0\r\n5000\r\n4000\r\n9001\r\n"},
    BadIndexCase{"EndIsNotTheSize", "[PAGE INDICES]\r\n0\r\n4120\r\n9000\r\n"},
    BadIndexCase{"DoesNotStartAtZero", "[PAGE INDICES]\r\n5\r\n4120\r\n9001\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PageIndex, LineFeedOnlyAndUnterminatedLastLineAreRead)
{
    const QStringList lines = IndexLines("A\r\nB\nC\rD");
    EXPECT_EQ(lines, (QStringList{"A", "BC", "D"}));
}
