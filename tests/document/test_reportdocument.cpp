#include "document/reportdocument.h"

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
}

TEST(ReportDocument, OpenRequestIsTakenWhole)
{
    ReportDocument doc;
    EXPECT_FALSE(doc.openRequestPending());
    doc.postOpenRequest({"MEMBER.TXT", "/a/b.zip", "-o -s#pw#", true});
    EXPECT_TRUE(doc.openRequestPending());
    OpenRequest r = doc.takeOpenRequest();
    EXPECT_EQ(r.rptPath, "MEMBER.TXT");
    EXPECT_EQ(r.archiveName, "/a/b.zip");
    EXPECT_TRUE(r.isArchived);
    EXPECT_FALSE(doc.openRequestPending());
}
