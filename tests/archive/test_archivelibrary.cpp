// The numbered archive calls: start and shut down, open and close, the
// member walk with its entry record, date and time decoding, ranged reads
// with the option text, the password query and block expansion.

#include "archive/archivelibrary.h"
#include "archive/pagecodec.h"
#include "archive/zipwriter.h"

#include "ziptestutil.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

using namespace veltra;
using namespace ziptest;

namespace {

class ArchiveLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(ArcStartUp(&context, 0), ArcOk);
        ASSERT_NE(context, nullptr);
        ArcSecondStart(context);
    }
    void TearDown() override
    {
        if (context) {
            EXPECT_EQ(ArcShutDown(&context), ArcOk);
        }
    }

    QTemporaryDir dir;
    ArchiveContext *context = nullptr;
};

TEST(ArchiveDates, DecodesDosDateAndTime)
{
    const struct {
        quint16 date, time;
        quint16 year, month, day, hour, minute, second;
    } cases[] = {
        {0x0021, 0x0000, 1980, 1, 1, 0, 0, 0},         // the first DOS day, midnight
        {0x5B8C, 0xBF7D, 2025, 12, 12, 23, 59, 58},    // odd seconds are stored halved
        {0x4E5D, 0x6B2A, 2019, 2, 29, 13, 25, 20},     // stored as given, even when not a real date
        {0xFF9F, 0xFFFF, 2107, 12, 31, 31, 63, 62},    // every bit set: raw fields, no clamping
        {0x3A4F, 0x4000, 2009, 2, 15, 8, 0, 0},
    };
    for (const auto &c : cases) {
        quint16 month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
        EXPECT_EQ(ArcDecodeDate(c.date, &month, &day, &year), ArcOk);
        EXPECT_EQ(ArcDecodeTime(c.time, &hour, &minute, &second), ArcOk);
        EXPECT_EQ(year, c.year) << std::hex << c.date;
        EXPECT_EQ(month, c.month) << std::hex << c.date;
        EXPECT_EQ(day, c.day) << std::hex << c.date;
        EXPECT_EQ(hour, c.hour) << std::hex << c.time;
        EXPECT_EQ(minute, c.minute) << std::hex << c.time;
        EXPECT_EQ(second, c.second) << std::hex << c.time;
    }
    quint16 a = 0, b = 0;
    EXPECT_EQ(ArcDecodeDate(0x21, &a, &b, nullptr), ArcBadArgument);
    EXPECT_EQ(ArcDecodeTime(0, nullptr, &a, &b), ArcBadArgument);
}

TEST_F(ArchiveLibraryTest, MemberWalkGivesEntryNameAndComment)
{
    const QByteArray report = reportText(70000);
    const QByteArray index = reportText(300, 5);
    const QDateTime when(QDate(2024, 3, 7), QTime(14, 5, 38));
    ZipWriter writer(dir.filePath(QStringLiteral("walk.vta")));
    writer.addBytes(QStringLiteral("DAILY/SALES.RPT"), report, "Sales by branch", when);
    writer.setPassword(QStringLiteral("pw"));
    writer.addBytes(QStringLiteral("SALES.VTI"), index, QByteArray(1500, 'c'), when.addDays(1));
    ASSERT_EQ(writer.write(), ArcOk);

    ArchiveHandle *handle = nullptr;
    ASSERT_EQ(ArcOpen(context, dir.filePath(QStringLiteral("walk.vta")), ArchiveOpenRead, &handle), ArcOk);
    ArchiveEntry entry;
    char name[MemberNameBufferSize];
    char comment[MemberCommentBufferSize];
    ASSERT_EQ(ArcFirstMember(context, handle, &entry, name, 0, 65535, comment, MemberCommentBufferSize), ArcOk);
    EXPECT_EQ(entry.signature(), 0x02014b50u);
    EXPECT_STREQ(name, "DAILY/SALES.RPT");
    EXPECT_STREQ(comment, "Sales by branch");
    EXPECT_EQ(entry.uncompressedSize(), quint32(report.size()));
    EXPECT_EQ(entry.flags() & 1, 0);
    EXPECT_EQ(entry.method(), 8);
    quint16 month, day, year, hour, minute, second;
    ArcDecodeDate(entry.dosDate(), &month, &day, &year);
    ArcDecodeTime(entry.dosTime(), &hour, &minute, &second);
    EXPECT_EQ(QDateTime(QDate(year, month, day), QTime(hour, minute, second)), when);

    ASSERT_EQ(ArcNextMember(context, handle, &entry, name, 0, 65535, comment, MemberCommentBufferSize), ArcOk);
    EXPECT_STREQ(name, "SALES.VTI");
    EXPECT_EQ(entry.flags() & 1, 1);
    EXPECT_EQ(entry.uncompressedSize(), quint32(index.size()));
    EXPECT_EQ(std::strlen(comment), size_t(MemberCommentBufferSize - 1)); // cut to the buffer
    ArcDecodeDate(entry.dosDate(), &month, &day, &year);
    EXPECT_EQ(day, 8);

    EXPECT_EQ(ArcNextMember(context, handle, &entry, name, 0, 65535, comment, MemberCommentBufferSize),
              ArcNoMoreMembers);
    // The walk can be limited to a range of member numbers.
    ASSERT_EQ(ArcFirstMember(context, handle, &entry, name, 1, 1, comment, 16), ArcOk);
    EXPECT_STREQ(name, "SALES.VTI");
    EXPECT_EQ(std::strlen(comment), 15u);
    EXPECT_EQ(ArcNextMember(context, handle, &entry, name, 1, 1, comment, 16), ArcNoMoreMembers);

    EXPECT_EQ(ArcNeedsPassword(context, dir.filePath(QStringLiteral("walk.vta"))), ArcPasswordRequired);
    EXPECT_EQ(ArcClose(context, &handle), ArcOk);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(ArchiveLibraryTest, HandlesAndArgumentsAreChecked)
{
    ZipWriter writer(dir.filePath(QStringLiteral("a.zip")));
    writer.addBytes(QStringLiteral("A.TXT"), "abc");
    ASSERT_EQ(writer.write(), ArcOk);
    const QString zip = dir.filePath(QStringLiteral("a.zip"));
    EXPECT_EQ(ArcNeedsPassword(context, zip), ArcOk);

    ArchiveHandle *handle = nullptr;
    EXPECT_EQ(ArcOpen(context, zip, 2, &handle), ArcBadArgument);
    EXPECT_EQ(ArcOpen(nullptr, zip, ArchiveOpenRead, &handle), ArcNotStarted);
    ASSERT_EQ(ArcOpen(context, zip, ArchiveOpenRead, &handle), ArcOk);
    ArchiveHandle *stale = handle;
    char buf[8];
    EXPECT_EQ(ArcExtractRange(context, handle, buf, -1, 1, QStringLiteral("A.TXT"), QString()), ArcBadArgument);
    EXPECT_EQ(ArcExtractRange(context, handle, buf, 1, 3, QStringLiteral("a.txt"), QString()), ArcRangeBeyondEnd);
    EXPECT_EQ(ArcExtractRange(context, handle, buf, 1, 2, QStringLiteral("a.txt"), QString()), ArcOk);
    EXPECT_EQ(QByteArray(buf, 2), "bc");
    EXPECT_EQ(ArcExtractRange(context, handle, buf, 0, 1, QStringLiteral("B.TXT"), QString()), ArcMemberNotFound);
    EXPECT_EQ(ArcNextMember(context, handle, nullptr, buf, 0, 65535, nullptr, 0), ArcNoMoreMembers);
    ASSERT_EQ(ArcClose(context, &handle), ArcOk);

    // A closed handle is refused, not used.
    EXPECT_EQ(ArcClose(context, &stale), ArcBadHandle);
    EXPECT_EQ(ArcExtractRange(context, stale, buf, 0, 1, QStringLiteral("A.TXT"), QString()), ArcBadHandle);
    EXPECT_EQ(ArcFirstMember(context, stale, nullptr, buf, 0, 65535, nullptr, 0), ArcBadHandle);

    // Shutting down closes what is still open.
    ASSERT_EQ(ArcOpen(context, zip, ArchiveOpenRead, &handle), ArcOk);
    EXPECT_EQ(ArcShutDown(&context), ArcOk);
    EXPECT_EQ(context, nullptr);
    EXPECT_EQ(ArcShutDown(&context), ArcNotStarted);
}

TEST_F(ArchiveLibraryTest, RangesInAnyOrderMatchTheMember)
{
    const QByteArray text = reportText(600000, 9);
    ZipWriter writer(dir.filePath(QStringLiteral("r.zip")));
    writer.setPassword(QStringLiteral("pässwort")); // typed text, not only ASCII
    writer.addBytes(QStringLiteral("R.TXT"), text);
    ASSERT_EQ(writer.write(), ArcOk);
    ArchiveHandle *handle = nullptr;
    ASSERT_EQ(ArcOpen(context, dir.filePath(QStringLiteral("r.zip")), ArchiveOpenRead, &handle), ArcOk);
    const QString options = QStringLiteral("-o -s#pässwort#");

    // Forward page after page (the open reader continues), then jumps back,
    // then the last bytes (checked against the checksum).
    QList<QPair<qint64, qint64>> ranges;
    for (qint64 off = 0; off + 30000 <= text.size(); off += 30000)
        ranges.append({off, 30000});
    QRandomGenerator rng(42);
    for (int i = 0; i < 20; ++i) {
        const qint64 off = rng.bounded(int(text.size() - 1));
        ranges.append({off, rng.bounded(int(std::min<qint64>(64000, text.size() - off))) + 1});
    }
    ranges.append({text.size() - 100, 100});
    ranges.append({0, text.size()});
    QByteArray buf(text.size(), '\0');
    for (const auto &[off, n] : ranges) {
        ASSERT_EQ(ArcExtractRange(context, handle, buf.data(), off, n, QStringLiteral("r.txt"), options), ArcOk)
            << off << " " << n;
        ASSERT_TRUE(QByteArray(buf.constData(), n) == text.mid(off, n)) << off << " " << n;
    }
    EXPECT_EQ(ArcExtractRange(context, handle, buf.data(), 0, 1, QStringLiteral("R.TXT"), QStringLiteral("-o -s#x#")),
              ArcWrongPassword);
    ArcClose(context, &handle);
}

TEST_F(ArchiveLibraryTest, HandleClosedWhileAnotherThreadReads)
{
    // The page reader may still be inside a read when the loader closes the
    // archive: the read finishes, later ones are refused, nothing is freed
    // under it.
    const QByteArray text = reportText(400000, 5);
    ZipWriter writer(dir.filePath(QStringLiteral("t.zip")));
    writer.addBytes(QStringLiteral("T.TXT"), text);
    ASSERT_EQ(writer.write(), ArcOk);
    for (int round = 0; round < 20; ++round) {
        ArchiveHandle *handle = nullptr;
        ASSERT_EQ(ArcOpen(context, dir.filePath(QStringLiteral("t.zip")), ArchiveOpenRead, &handle), ArcOk);
        ArchiveHandle *shared = handle;
        std::atomic<int> ok{0}, refused{0}, wrong{0};
        std::vector<std::thread> readers;
        for (int r = 0; r < 3; ++r)
            readers.emplace_back([&, r] {
                QByteArray buf(20000, '\0');
                for (int i = 0; i < 30; ++i) {
                    const qint64 off = (qint64(i) * 37000 + r * 1000) % (text.size() - buf.size());
                    const ArcCode code = ArcExtractRange(context, shared, buf.data(), off, buf.size(),
                                                         QStringLiteral("T.TXT"), QString());
                    if (code == ArcOk)
                        (buf == text.mid(off, buf.size()) ? ok : wrong)++;
                    else if (code == ArcBadHandle)
                        refused++;
                    else
                        wrong++;
                }
            });
        std::this_thread::sleep_for(std::chrono::microseconds(200 * round));
        EXPECT_EQ(ArcClose(context, &handle), ArcOk);
        for (std::thread &t : readers)
            t.join();
        EXPECT_EQ(wrong.load(), 0);
        EXPECT_EQ(ok + refused, 90);
    }
}

TEST(ArchiveBlocks, ExpandsACompressedPageBlock)
{
    const QByteArray page = "  PAGE 1\nLINE ONE\nLINE TWO\n";
    QByteArray block;
    ASSERT_TRUE(CompressPageBlock(page, block));
    QByteArray dest(ExpandedPageCapacity, '\0');
    EXPECT_EQ(ArcExpandBlock(block.constData(), block.size(), dest.data(), dest.size()), ArcOk);
    EXPECT_EQ(QByteArray(dest.constData()), page);
    EXPECT_NE(ArcExpandBlock(block.constData(), block.size() / 2, dest.data(), dest.size()), ArcOk);
}

} // namespace
