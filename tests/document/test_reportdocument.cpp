#include "document/reportdocument.h"
#include "document/reportsource.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using namespace veltra;

TEST(ReportDocument, ReportKeyAndCaption)
{
    ReportDocument doc;
    doc.RptPath = "/data/R/daily.rpt";
    doc.RptSize = 5000;
    doc.setDateTime(1999, 3, 2, 14, 5, 9);
    doc.buildReportKey();
    EXPECT_EQ(doc.RptKey, "DAILY.RPT;1999/03/02 14:05:09;5000");
    EXPECT_EQ(doc.RptDateTime, "03/02/1999 14:05:09");
    EXPECT_EQ(doc.caption(), "Veltra - daily.rpt");
}

TEST(PageTable, SixtyFourBitOffsetsAndBounds)
{
    PageTable t;
    const qint64 big = qint64(5) << 30; // past 4 GiB
    t.addPage(0, 100);
    t.addPage(big, 200);
    EXPECT_EQ(t.count(), 2);
    EXPECT_EQ(t.pageStart(2), big);
    EXPECT_EQ(t.pageLength(2), 200);
    EXPECT_EQ(t.pageLength(3), 0);  // outside the table: empty, no crash
    EXPECT_EQ(t.pageLength(0), 0);
    t.clear();
    EXPECT_EQ(t.count(), 0);
}

TEST(PageTable, ReadersSeeOnlyWrittenEntriesWhileTheLoaderAppends)
{
    PageTable t;
    constexpr qint64 N = 200000;
    std::thread writer([&] {
        for (qint64 i = 0; i < N; ++i)
            t.addPage(i * 10, 10);
    });
    qint64 seen = 0;
    while (seen < N) {
        const qint64 n = t.count();
        if (n > 0) {
            const PageEntry e = t.page(n);
            ASSERT_EQ(e.start, (n - 1) * 10);
            ASSERT_EQ(e.length, 10);
        }
        seen = n;
    }
    writer.join();
    // Every entry, across the block boundaries, holds what was written.
    for (qint64 n = 1; n <= N; ++n)
        ASSERT_EQ(t.pageStart(n), (n - 1) * 10) << n;
}

TEST(ReportDocument, OpenRequestIsTakenWhole)
{
    ReportDocument doc;
    EXPECT_FALSE(doc.openRequestPending());
    OpenRequest req;
    req.PendingRptPath = "MEMBER.TXT";
    req.PendingArchiveName = "/a/b.zip";
    req.PendingPassword = "-o -s#pw#";
    req.RptIsArchived = true;
    req.FirstShownPage = 0;
    req.LocateOffset = 1234;
    doc.postOpenRequest(req);
    EXPECT_TRUE(doc.openRequestPending());
    const OpenRequest r = doc.takeOpenRequest();
    EXPECT_FALSE(doc.openRequestPending());
    EXPECT_TRUE(doc.takeOpenRequest().empty());

    doc.acceptOpenRequest(r);
    EXPECT_EQ(doc.RptPath, "MEMBER.TXT");
    EXPECT_EQ(doc.RptArchiveName, "/a/b.zip");
    EXPECT_EQ(doc.RptPassword, "-o -s#pw#");
    EXPECT_TRUE(doc.RptIsArchived);
    EXPECT_EQ(doc.FirstShownPage.load(), 0);
    EXPECT_EQ(doc.LocateOffset.load(), 1234);
}

// Requests posted from one thread while another takes them: each request
// arrives exactly once and never mixes the fields of two requests.
TEST(ReportDocument, OpenRequestHandOverUnderContention)
{
    ReportDocument doc;
    constexpr int N = 20000;
    std::atomic<bool> done{false};
    std::thread requester([&] {
        for (int i = 1; i <= N; ++i) {
            OpenRequest req;
            req.PendingRptPath = QString::number(i);
            req.PendingArchiveName = QString::number(i) + ".zip";
            req.PendingPassword = "-o -s#" + QString::number(i) + "#";
            doc.postOpenRequest(req);
        }
        done = true;
    });
    int last = 0;
    bool torn = false;
    for (;;) {
        const bool finished = done.load();
        const OpenRequest r = doc.takeOpenRequest();
        if (!r.empty()) {
            const int n = r.PendingRptPath.toInt();
            torn |= r.PendingArchiveName != QString::number(n) + ".zip"
                || r.PendingPassword != "-o -s#" + QString::number(n) + "#";
            torn |= n <= last; // taken twice or out of order
            last = n;
        } else if (finished) {
            break;
        }
    }
    requester.join();
    EXPECT_FALSE(torn);
    EXPECT_EQ(last, N); // the last request is never lost
}

// A "~~~" report is a temporary copy made for viewing: closing it deletes
// it. Any other report stays.
TEST(ReportDocument, ClosingDeletesOnlyTemporaryCopies)
{
    QTemporaryDir dir;
    for (const char *name : {"COPY.~~~", "KEEP.TXT"}) {
        const QString path = dir.filePath(name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\fPAGE 1\r\n");
        f.close();
        ReportDocument doc;
        ASSERT_TRUE(OpenPlainReport(doc, path, {}, nullptr));
        doc.ReadChunkSize = 10000;
        CloseReportFile(doc);
        EXPECT_EQ(QFile::exists(path), QByteArray(name) == "KEEP.TXT") << name;
        EXPECT_FALSE(doc.RptFileHandle);
        EXPECT_EQ(doc.ReadChunkSize, DefaultReadChunkSize);
    }
}
