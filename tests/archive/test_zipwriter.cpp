// The zip writer: archives with traditional encryption that Info-ZIP unzip
// reads, comments, adding to an existing archive, and a failed or cancelled
// write that leaves the archive as it was.

#include "archive/ziparchiveaccess.h"
#include "archive/zipreader.h"
#include "archive/zipwriter.h"

#include "ziptestutil.h"

#include <QFileInfo>

using namespace veltra;
using namespace ziptest;

namespace {

class ZipWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(ZipWriterTest, EncryptedArchiveIsReadByUnzip)
{
    const QByteArray report = reportText(250000);
    const QByteArray index = reportText(900, 4);
    writeFile(path(QStringLiteral("source.rpt")), report);
    ZipWriter writer(path(QStringLiteral("out.vta")));
    writer.setPassword(QStringLiteral("Tr0ub4dor"));
    writer.addFile(path(QStringLiteral("source.rpt")), QStringLiteral("SALES.RPT"), "daily sales");
    writer.addBytes(QStringLiteral("SALES.VTI"), index);
    writer.setArchiveComment("Veltra archive");
    std::vector<int> percents;
    ASSERT_EQ(writer.write([&](int p) { percents.push_back(p); }), ArcOk);
    EXPECT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);

    int code = -1;
    EXPECT_TRUE(run(dir.path(), "unzip", {"-p", "-P", "Tr0ub4dor", "out.vta", "SALES.RPT"}, &code) == report);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(run(dir.path(), "unzip", {"-p", "-P", "Tr0ub4dor", "out.vta", "SALES.VTI"}, &code) == index);
    EXPECT_EQ(code, 0);
    run(dir.path(), "unzip", {"-p", "-P", "wrong", "out.vta", "SALES.RPT"}, &code);
    EXPECT_NE(code, 0);
    // Test mode checks every member's checksum.
    run(dir.path(), "unzip", {"-t", "-P", "Tr0ub4dor", "out.vta"}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(run(dir.path(), "unzip", {"-z", "out.vta"}).contains("Veltra archive"));

    ZipArchive za;
    ASSERT_EQ(za.open(path(QStringLiteral("out.vta"))), ArcOk);
    EXPECT_EQ(za.archiveComment(), "Veltra archive");
    QList<ZipMemberInfo> members;
    ASSERT_EQ(za.listMembers(members), ArcOk);
    ASSERT_EQ(members.size(), 2);
    EXPECT_TRUE(members[0].encrypted);
    EXPECT_EQ(members[0].comment, "daily sales");
    EXPECT_EQ(members[0].method, 8);
    EXPECT_LT(members[0].compressedSize, report.size() / 2);
}

TEST_F(ZipWriterTest, AddsToAnExistingArchiveReplacingSameNameIgnoringCase)
{
    const QString zip = path(QStringLiteral("lib.zip"));
    {
        ZipWriter w(zip);
        w.addBytes(QStringLiteral("MON.RPT"), "monday");
        w.addBytes(QStringLiteral("TUE.RPT"), "tuesday");
        ASSERT_EQ(w.write(), ArcOk);
    }
    {
        ZipWriter w(zip);
        w.setPassword(QStringLiteral("pw"));
        w.addBytes(QStringLiteral("tue.rpt"), "tuesday, second run");
        w.addBytes(QStringLiteral("WED.RPT"), "wednesday");
        ASSERT_EQ(w.write(), ArcOk);
    }
    ZipArchiveAccess access;
    QList<ArchiveAccess::MemberEntry> members;
    ASSERT_TRUE(access.listMembers(zip, members));
    ASSERT_EQ(members.size(), 3);
    EXPECT_EQ(members[0].name, "MON.RPT");
    EXPECT_FALSE(members[0].encrypted);
    EXPECT_EQ(members[1].name, "tue.rpt");
    EXPECT_TRUE(members[1].encrypted);
    QByteArray bytes;
    EXPECT_EQ(access.unzipSmall(zip, QStringLiteral("TUE.RPT"), QStringLiteral("pw"), bytes), 1);
    EXPECT_EQ(bytes, "tuesday, second run");
    EXPECT_EQ(access.unzipSmall(zip, QStringLiteral("MON.RPT"), QString(), bytes), 1);
    EXPECT_EQ(bytes, "monday");
}

TEST_F(ZipWriterTest, FailedOrCancelledWriteLeavesTheArchiveAsItWas)
{
    const QString zip = path(QStringLiteral("keep.zip"));
    {
        ZipWriter w(zip);
        w.addBytes(QStringLiteral("OLD.RPT"), reportText(1000));
        ASSERT_EQ(w.write(), ArcOk);
    }
    const QByteArray before = readFile(zip);

    writeFile(path(QStringLiteral("big.rpt")), reportText(4000000, 2));
    {
        ZipWriter w(zip);
        w.addFile(path(QStringLiteral("big.rpt")), QStringLiteral("BIG.RPT"));
        std::atomic<bool> cancel{false};
        EXPECT_EQ(w.write([&](int p) { if (p >= 10) cancel = true; }, &cancel), ArcCancelled);
    }
    {
        ZipWriter w(zip);
        w.addFile(path(QStringLiteral("gone.rpt")), QStringLiteral("GONE.RPT"));
        EXPECT_EQ(w.write(), ArcCannotOpen);
    }
    EXPECT_TRUE(readFile(zip) == before);
    // Nothing left behind but the archive and the source.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << qPrintable(QDir(dir.path()).entryList().join(' '));

    // A new archive that cannot be written is not created at all.
    ZipWriter w(path(QStringLiteral("no/such/folder/new.zip")));
    w.addBytes(QStringLiteral("A.RPT"), "a");
    EXPECT_NE(w.write(), ArcOk);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("no/such/folder/new.zip"))));

    // Writing over a file that is not an archive is refused.
    writeFile(path(QStringLiteral("text.zip")), "just text, not a zip file at all");
    ZipWriter t(path(QStringLiteral("text.zip")));
    t.addBytes(QStringLiteral("A.RPT"), "a");
    EXPECT_EQ(t.write(), ArcNotZip);
    EXPECT_EQ(readFile(path(QStringLiteral("text.zip"))), "just text, not a zip file at all");
}

} // namespace
