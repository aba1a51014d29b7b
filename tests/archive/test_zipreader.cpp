// The zip reader and the archive access on archives made by Info-ZIP zip:
// passwords (right, wrong, and wrong ones that pass the one-byte check),
// damaged and truncated archives, size mismatches, empty members, progress
// and cancel, names compared ignoring case.

#include "archive/ziparchiveaccess.h"
#include "archive/zipreader.h"
#include "archive/zipwriter.h"

#include "ziptestutil.h"

#include <zip.h>

#include <QFileInfo>

#include <vector>

using namespace veltra;
using namespace ziptest;

namespace {

class ZipReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return dir.filePath(name); }

    // One member "REPORT.TXT" of the given text, with zip options.
    QString makeArchive(const QString &archive, const QByteArray &text, const QStringList &options)
    {
        writeFile(path(QStringLiteral("REPORT.TXT")), text);
        return infoZip(dir.path(), archive, options, {QStringLiteral("REPORT.TXT")});
    }

    QTemporaryDir dir;
    ZipArchiveAccess access;
};

TEST_F(ZipReaderTest, ReadsInfoZipArchiveWithPassword)
{
    const QByteArray text = reportText(300000);
    for (const QStringList &options : {QStringList{"-P", "s3cret"}, QStringList{"-0", "-P", "s3cret"}}) {
        SCOPED_TRACE(qPrintable(options.join(' ')));
        const QString zip = makeArchive(QStringLiteral("pw%1.zip").arg(options.size()), text, options);
        ASSERT_EQ(access.testOpen(zip), 0);
        QList<ArchiveAccess::MemberEntry> members;
        ASSERT_TRUE(access.listMembers(zip, members));
        ASSERT_EQ(members.size(), 1);
        EXPECT_TRUE(members[0].encrypted);

        ArchiveAccess::MemberInfo info;
        ASSERT_EQ(access.lookupMember(zip, QStringLiteral("REPORT.TXT"), info), 0);
        EXPECT_EQ(info.size, text.size());
        EXPECT_TRUE(access.testPassword(zip, QStringLiteral("REPORT.TXT"), QStringLiteral("s3cret")));

        QByteArray dest(info.size, '\0');
        std::atomic<qint64> filled{0};
        std::atomic<bool> cancel{false};
        EXPECT_EQ(access.unzipMember(zip, QStringLiteral("REPORT.TXT"), QStringLiteral("s3cret"), dest.data(),
                                     dest.size(), &filled, {}, cancel),
                  1);
        EXPECT_EQ(filled.load(), text.size());
        EXPECT_TRUE(dest == text);

        // A range from the middle, as the page reader asks for it.
        QByteArray range(5000, '\0');
        EXPECT_EQ(access.readRange(zip, QStringLiteral("REPORT.TXT"), QStringLiteral("-o -s#s3cret#"), 123456,
                                   range.size(), range.data()),
                  0);
        EXPECT_TRUE(range == text.mid(123456, 5000));

        // No password, or one with the wrong case.
        EXPECT_EQ(access.readRange(zip, QStringLiteral("REPORT.TXT"), QString(), 0, 10, range.data()),
                  ArcPasswordRequired);
        EXPECT_FALSE(access.testPassword(zip, QStringLiteral("REPORT.TXT"), QStringLiteral("S3CRET")));
        EXPECT_EQ(access.unzipMember(zip, QStringLiteral("REPORT.TXT"), QString(), dest.data(), dest.size(),
                                     &filled, {}, cancel),
                  -int(ArcPasswordRequired));
    }
}

// Traditional encryption checks one byte at open, so about one wrong
// password in 256 opens the member. None may be taken as right, and no
// unzip may hand back data for one.
TEST_F(ZipReaderTest, WrongPasswordsPastTheCheckByteAreStillWrong)
{
    const QByteArray text = reportText(40000, 7);
    const QString deflated = makeArchive(QStringLiteral("deflated.zip"), text, {"-P", "right"});
    const QString stored = makeArchive(QStringLiteral("stored.zip"), text, {"-0", "-P", "right"});

    for (const QString &zipPath : {deflated, stored}) {
        SCOPED_TRACE(qPrintable(QFileInfo(zipPath).fileName()));
        int passedCheckByte = 0;
        int ze = 0;
        zip_t *raw = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &ze);
        ASSERT_NE(raw, nullptr);
        for (int i = 0; i < 3000; ++i) {
            const QString wrong = QStringLiteral("wrong%1").arg(i);
            const QByteArray wrongBytes = wrong.toUtf8();
            zip_file_t *f = zip_fopen_encrypted(raw, "REPORT.TXT", 0, wrongBytes.constData());
            const bool passes = f != nullptr;
            if (f)
                zip_fclose(f);
            if (!passes && i % 100 != 0)
                continue; // the one-byte check catches it; test a sample of these only
            passedCheckByte += passes ? 1 : 0;

            EXPECT_FALSE(access.testPassword(zipPath, QStringLiteral("REPORT.TXT"), wrong)) << qPrintable(wrong);
            EXPECT_EQ(access.lastCode(), ArcWrongPassword);

            QByteArray dest(text.size(), '\0');
            std::atomic<qint64> filled{0};
            std::atomic<bool> cancel{false};
            EXPECT_EQ(access.unzipMember(zipPath, QStringLiteral("REPORT.TXT"), wrong, dest.data(), dest.size(),
                                         &filled, {}, cancel),
                      -int(ArcWrongPassword))
                << qPrintable(wrong);
            EXPECT_EQ(filled.load(), 0) << "bytes from a wrong password were published";

            QByteArray chunk(30000, '\0');
            EXPECT_EQ(access.readRange(zipPath, QStringLiteral("REPORT.TXT"),
                                       QStringLiteral("-o -s#") + wrong + QStringLiteral("#"), 0, chunk.size(),
                                       chunk.data()),
                      ArcWrongPassword)
                << qPrintable(wrong);

            QByteArray small;
            EXPECT_EQ(access.unzipSmall(zipPath, QStringLiteral("REPORT.TXT"), wrong, small),
                      -int(ArcWrongPassword));
            EXPECT_TRUE(small.isEmpty());
        }
        zip_discard(raw);
        // With 3,000 tries the check byte lets some through (all but certain).
        EXPECT_GT(passedCheckByte, 0);
        EXPECT_TRUE(access.testPassword(zipPath, QStringLiteral("REPORT.TXT"), QStringLiteral("right")));
    }
}

TEST_F(ZipReaderTest, LargeMemberPasswordCheckDecompressesOnlyTheStart)
{
    // Above the whole-member limit only the first megabyte is decompressed;
    // the right password passes and wrong ones still fail.
    const QByteArray text = reportText(VerifyWholeLimit + 500000, 3);
    const QString zip = makeArchive(QStringLiteral("big.zip"), text, {"-P", "pw"});
    ZipArchive za;
    ASSERT_EQ(za.open(zip), ArcOk);
    EXPECT_EQ(verifyPassword(za, 0, "pw"), ArcOk);
    for (int i = 0; i < 600; ++i)
        ASSERT_EQ(verifyPassword(za, 0, QByteArray("x") + QByteArray::number(i)), ArcWrongPassword) << i;
}

TEST_F(ZipReaderTest, DamagedArchivesGiveClearCodes)
{
    const QByteArray text = reportText(20000);
    const QString good = makeArchive(QStringLiteral("good.zip"), text, {});
    const QByteArray bytes = readFile(good);
    const qsizetype cd = centralRecord(bytes);
    ASSERT_GT(cd, 0);

    struct Case {
        const char *name;
        QByteArray data;
        ArcCode openCode;   // what opening gives
    };
    QByteArray badSignature = bytes;
    badSignature[cd + 1] = 'X';
    QByteArray badOffset = bytes;
    put32(badOffset, cd + 42, 7); // local header offset into the middle of nowhere
    QByteArray badCount = bytes;
    badCount[bytes.size() - 22 + 10] = 5; // the end record claims five members
    QByteArray notZip = text.left(2000);
    const std::vector<Case> cases = {
        {"truncated to half", bytes.left(bytes.size() / 2), ArcDamaged},
        {"last 10 bytes cut", bytes.left(bytes.size() - 10), ArcDamaged},
        {"only the local header", bytes.left(40), ArcDamaged},
        {"central record signature", badSignature, ArcDamaged},
        {"central record local offset", badOffset, ArcDamaged},
        {"member count", badCount, ArcDamaged},
        {"plain text", notZip, ArcNotZip},
        {"empty file", QByteArray(), ArcNotZip},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString p = writeFile(path(QStringLiteral("case.zip")), c.data);
        EXPECT_EQ(access.testOpen(p), c.openCode);
        QList<ArchiveAccess::MemberEntry> members;
        EXPECT_FALSE(access.listMembers(p, members));
        ArchiveAccess::MemberInfo info;
        EXPECT_EQ(access.lookupMember(p, QStringLiteral("REPORT.TXT"), info), 12);
        QByteArray dest(text.size(), '\0');
        std::atomic<qint64> filled{0};
        std::atomic<bool> cancel{false};
        EXPECT_EQ(access.unzipMember(p, QStringLiteral("REPORT.TXT"), QString(), dest.data(), dest.size(), &filled,
                                     {}, cancel),
                  -int(c.openCode));
        char buf[16];
        EXPECT_EQ(access.readRange(p, QStringLiteral("REPORT.TXT"), QString(), 0, 16, buf), c.openCode);
    }
    EXPECT_EQ(access.testOpen(path(QStringLiteral("missing.zip"))), ArcCannotOpen);
}

TEST_F(ZipReaderTest, ArchiveWithoutMembers)
{
    // Only the end record: a valid archive with nothing in it.
    const QString p = writeFile(path(QStringLiteral("none.zip")), QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'));
    EXPECT_EQ(access.testOpen(p), 0);
    QList<ArchiveAccess::MemberEntry> members;
    EXPECT_TRUE(access.listMembers(p, members));
    EXPECT_TRUE(members.isEmpty());
    ArchiveAccess::MemberInfo info;
    EXPECT_EQ(access.lookupMember(p, QStringLiteral("A.RPT"), info), 2);
    EXPECT_FALSE(access.hasMember(p, QStringLiteral("A.RPT")));
}

TEST_F(ZipReaderTest, DamagedMemberDataIsNeverTakenAsRead)
{
    const QByteArray text = reportText(50000);
    QByteArray bytes = readFile(makeArchive(QStringLiteral("data.zip"), text, {}));
    // Flip a byte inside the deflate data of the one member.
    bytes[30 + 10 + 2000] = char(bytes[30 + 10 + 2000] ^ 0x55);
    const QString p = writeFile(path(QStringLiteral("flipped.zip")), bytes);
    QByteArray dest(text.size(), '\0');
    std::atomic<qint64> filled{0};
    std::atomic<bool> cancel{false};
    const int r = access.unzipMember(p, QStringLiteral("REPORT.TXT"), QString(), dest.data(), dest.size(), &filled,
                                     {}, cancel);
    EXPECT_TRUE(r == -int(ArcDataError) || r == -int(ArcSizeMismatch)) << r;
}

TEST_F(ZipReaderTest, MemberSizesThatDisagreeWithTheDirectory)
{
    // The directory says 4,000 (or 9,000) bytes; the data holds 5,000.
    const QByteArray text = reportText(5000);
    const QByteArray bytes = readFile(makeArchive(QStringLiteral("size.zip"), text, {}));
    for (quint32 claimed : {4000u, 9000u}) {
        SCOPED_TRACE(claimed);
        QByteArray patched = bytes;
        put32(patched, 22, claimed);                       // local header
        put32(patched, centralRecord(patched) + 24, claimed); // central directory
        const QString p = writeFile(path(QStringLiteral("patched%1.zip").arg(claimed)), patched);

        ArchiveAccess::MemberInfo info;
        ASSERT_EQ(access.lookupMember(p, QStringLiteral("report.txt"), info), 0);
        EXPECT_EQ(info.size, claimed);
        QByteArray dest(info.size, '\0');
        std::atomic<qint64> filled{0};
        std::atomic<bool> cancel{false};
        EXPECT_EQ(access.unzipMember(p, QStringLiteral("REPORT.TXT"), QString(), dest.data(), dest.size(), &filled,
                                     {}, cancel),
                  -int(ArcSizeMismatch));
        EXPECT_LE(filled.load(), qint64(claimed));
        QByteArray all(claimed, '\0');
        EXPECT_EQ(access.readRange(p, QStringLiteral("REPORT.TXT"), QString(), 0, claimed, all.data()),
                  ArcSizeMismatch);
        QByteArray bytesOut;
        EXPECT_EQ(access.unzipSmall(p, QStringLiteral("REPORT.TXT"), QString(), bytesOut), -int(ArcSizeMismatch));
    }
}

TEST_F(ZipReaderTest, UnsupportedEncryptionIsRefused)
{
    // The strong-encryption flag marks a method this reader does not know.
    QByteArray bytes = readFile(makeArchive(QStringLiteral("strong.zip"), reportText(3000), {"-P", "pw"}));
    bytes[6] = char(bytes[6] | 0x40);
    const qsizetype cd = centralRecord(bytes);
    bytes[cd + 8] = char(bytes[cd + 8] | 0x40);
    const QString p = writeFile(path(QStringLiteral("strong2.zip")), bytes);
    char buf[10];
    EXPECT_EQ(access.readRange(p, QStringLiteral("REPORT.TXT"), QStringLiteral("-o -s#pw#"), 0, 10, buf),
              ArcUnsupported);
    EXPECT_FALSE(access.testPassword(p, QStringLiteral("REPORT.TXT"), QStringLiteral("pw")));
    QByteArray out;
    EXPECT_EQ(access.unzipSmall(p, QStringLiteral("REPORT.TXT"), QStringLiteral("pw"), out), -int(ArcUnsupported));
}

TEST_F(ZipReaderTest, ZeroByteMember)
{
    writeFile(path(QStringLiteral("EMPTY.RPT")), QByteArray());
    writeFile(path(QStringLiteral("FULL.RPT")), reportText(100));
    for (const QStringList &options : {QStringList{}, QStringList{"-P", "pw"}}) {
        SCOPED_TRACE(qPrintable(options.join(' ')));
        const QString zip = infoZip(dir.path(), QStringLiteral("empty%1.zip").arg(options.size()), options,
                                    {QStringLiteral("EMPTY.RPT"), QStringLiteral("FULL.RPT")});
        ArchiveAccess::MemberInfo info;
        info.size = 77;
        ASSERT_EQ(access.lookupMember(zip, QStringLiteral("EMPTY.RPT"), info), 0);
        EXPECT_EQ(info.size, 0);
        char buf[4];
        EXPECT_EQ(access.readRange(zip, QStringLiteral("EMPTY.RPT"), QStringLiteral("-o -s#pw#"), 0, 1, buf),
                  ArcEmptyMember);
        std::atomic<qint64> filled{0};
        std::atomic<bool> cancel{false};
        EXPECT_EQ(access.unzipMember(zip, QStringLiteral("EMPTY.RPT"), QStringLiteral("pw"), buf, 0, &filled, {},
                                     cancel),
                  -int(ArcEmptyMember));
        // The password of an encrypted empty member can still be checked.
        EXPECT_TRUE(access.testPassword(zip, QStringLiteral("EMPTY.RPT"), QStringLiteral("pw")));
    }
}

TEST_F(ZipReaderTest, PercentEventsAndCancel)
{
    const QByteArray text = reportText(3000000, 11);
    const QString zip = makeArchive(QStringLiteral("progress.zip"), text, {"-P", "pw"});
    QByteArray dest(text.size(), '\0');
    std::atomic<qint64> filled{0};
    std::atomic<bool> cancel{false};

    std::vector<int> seen;
    ASSERT_EQ(access.unzipMember(zip, QStringLiteral("REPORT.TXT"), QStringLiteral("pw"), dest.data(), dest.size(),
                                 &filled, [&](int p) { seen.push_back(p); }, cancel),
              1);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end()); // each percent once
    EXPECT_EQ(seen.back(), 100);
    for (int tenth = 10; tenth <= 90; tenth += 10) // every tenth is crossed
        EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [&](int p) { return p >= tenth && p < tenth + 10; }))
            << tenth;

    // The loader cancels from inside a progress step.
    seen.clear();
    filled = 0;
    EXPECT_EQ(access.unzipMember(zip, QStringLiteral("REPORT.TXT"), QStringLiteral("pw"), dest.data(), dest.size(),
                                 &filled,
                                 [&](int p) {
                                     seen.push_back(p);
                                     if (p >= 20)
                                         cancel = true;
                                 },
                                 cancel),
              -int(ArcCancelled));
    EXPECT_LT(seen.back(), 30);
    EXPECT_LT(filled.load(), text.size() / 3);
    // Bytes published as filled are the member's bytes.
    EXPECT_TRUE(QByteArray(dest.constData(), filled.load()) == text.left(filled.load()));
}

TEST_F(ZipReaderTest, MemberNamesIgnoreCaseAndSeparator)
{
    QDir(dir.path()).mkpath(QStringLiteral("Reports"));
    const QByteArray text = reportText(2000);
    writeFile(path(QStringLiteral("Reports/Daily.Rpt")), text);
    const QString zip = infoZip(dir.path(), QStringLiteral("names.zip"), {"-P", "pw"}, {"Reports/Daily.Rpt"});
    for (const QString &name : {QStringLiteral("REPORTS\\DAILY.RPT"), QStringLiteral("reports/daily.rpt"),
                                QStringLiteral("Reports/Daily.Rpt")}) {
        SCOPED_TRACE(qPrintable(name));
        EXPECT_TRUE(access.hasMember(zip, name));
        ArchiveAccess::MemberInfo info;
        EXPECT_EQ(access.lookupMember(zip, name, info), 0);
        EXPECT_EQ(info.size, text.size());
        EXPECT_TRUE(access.testPassword(zip, name, QStringLiteral("pw")));
        QByteArray out;
        EXPECT_EQ(access.unzipSmall(zip, name, QStringLiteral("pw"), out), 1);
        EXPECT_TRUE(out == text);
    }
    EXPECT_FALSE(access.hasMember(zip, QStringLiteral("Daily.Rpt")));
    ArchiveAccess::MemberInfo info;
    EXPECT_EQ(access.lookupMember(zip, QStringLiteral("Other.rpt"), info), int(ArcMemberNotFound));
    QByteArray out;
    EXPECT_EQ(access.unzipSmall(zip, QStringLiteral("Other.rpt"), QStringLiteral("pw"), out), 0);
}

TEST_F(ZipReaderTest, RangedReadsFollowARewrittenArchive)
{
    // Ranged reads keep the archive open; when the archive builder rewrites
    // it, the next read sees the new member, not the old file.
    const QString zip = path(QStringLiteral("live.zip"));
    {
        ZipWriter w(zip);
        w.addBytes(QStringLiteral("R.RPT"), "first version");
        ASSERT_EQ(w.write(), ArcOk);
    }
    char buf[32] = {};
    ASSERT_EQ(access.readRange(zip, QStringLiteral("R.RPT"), QString(), 0, 13, buf), 0);
    EXPECT_EQ(QByteArray(buf, 13), "first version");
    {
        ZipWriter w(zip);
        w.addBytes(QStringLiteral("R.RPT"), "the second version");
        ASSERT_EQ(w.write(), ArcOk);
    }
    ASSERT_EQ(access.readRange(zip, QStringLiteral("R.RPT"), QString(), 0, 18, buf), 0);
    EXPECT_EQ(QByteArray(buf, 18), "the second version");
    access.releaseArchive();
    ASSERT_EQ(access.readRange(zip, QStringLiteral("r.rpt"), QString(), 4, 6, buf), 0);
    EXPECT_EQ(QByteArray(buf, 6), "second");
}

TEST_F(ZipReaderTest, OptionTextGivesThePassword)
{
    const struct {
        const char *options;
        const char *password;
    } cases[] = {
        {"-o -s#secret#", "secret"}, {"-o -s##", ""},        {"", ""},
        {"-o -s#a#b#", "a#b"},       {"-o -s#open", "open"}, {"-o", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(passwordFromOptions(QString::fromLatin1(c.options)), QString::fromLatin1(c.password))
            << c.options;
}

} // namespace
