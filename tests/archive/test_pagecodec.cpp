// Compressed page blocks and compressed reports: the separator never occurs
// inside or across blocks, damaged blocks give an error without writing past
// the buffer, and a compressed report shows every page as the original does.

#include "archive/pagecodec.h"
#include "../document/scanhelper.h"

#include "document/scanner.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

using namespace veltra;
using veltra::test::ScannedReport;

namespace {

constexpr unsigned char Canary = 0xAB;
constexpr int CanaryLength = 64;

// Expands into a buffer of exactly capacity bytes followed by canary bytes
// that must survive the call. text gets the expanded text on success.
int expandChecked(const QByteArray &block, qint64 capacity, QByteArray *text = nullptr)
{
    std::vector<unsigned char> buffer(size_t(capacity) + CanaryLength, Canary);
    std::fill(buffer.begin(), buffer.begin() + capacity, 0);
    char *dst = reinterpret_cast<char *>(buffer.data());
    const int rc = ExpandPageBlock(block.constData(), block.size(), dst, capacity);
    for (size_t i = size_t(capacity); i < buffer.size(); ++i) {
        if (buffer[i] != Canary) {
            ADD_FAILURE() << "byte " << i << " written past a capacity of " << capacity;
            break;
        }
    }
    if (rc == BlockOk) {
        const void *zero = memchr(dst, 0, size_t(capacity));
        EXPECT_NE(zero, nullptr) << "text not terminated within the capacity";
        if (text && zero)
            *text = QByteArray(dst);
    } else if (capacity > 0) {
        EXPECT_EQ(dst[0], 0) << "a failed expansion leaves an empty text";
    }
    return rc;
}

QByteArray randomBytes(std::mt19937 &rng, int n, const QByteArray &alphabet = {})
{
    QByteArray out(n, Qt::Uninitialized);
    std::uniform_int_distribution<int> pick(0, alphabet.isEmpty() ? 254 : int(alphabet.size()) - 1);
    for (char &c : out)
        c = alphabet.isEmpty() ? char(pick(rng) + 1) : alphabet[pick(rng)];
    return out;
}

// A zlib stream escaped the documented way, for blocks the writer would
// never make (too long, zero bytes, extra bytes).
QByteArray handMadeBlock(const QByteArray &text, const QByteArray &extra = {})
{
    uLongf n = compressBound(uLong(text.size()));
    QByteArray z(qsizetype(n), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(z.data()), &n, reinterpret_cast<const Bytef *>(text.constData()),
              uLong(text.size()), 9);
    z.truncate(qsizetype(n));
    z.append(extra);
    QByteArray out;
    for (char c : z) {
        if (c == 'Q')
            out.append("Qq");
        else if (c == 'R')
            out.append("Qr");
        else
            out.append(c);
    }
    return out;
}

QByteArray block(const QByteArray &text, int level = 9)
{
    QByteArray b;
    EXPECT_TRUE(CompressPageBlock(text, b, level));
    return b;
}

std::vector<qsizetype> occurrences(const QByteArray &hay, const QByteArray &needle)
{
    std::vector<qsizetype> at;
    for (qsizetype p = hay.indexOf(needle); p >= 0; p = hay.indexOf(needle, p + 1))
        at.push_back(p);
    return at;
}

// Page texts chosen to put as many separator bytes and escape bytes into the
// deflate data as possible (stored deflate data copies the text), and random
// texts up to the page buffer size.
std::vector<QByteArray> adversarialTexts()
{
    std::mt19937 rng(20261211);
    std::vector<QByteArray> texts = {
        QByteArray(),
        QByteArray("R"),
        QByteArray("Q"),
        QByteArray(MaxBlockText, 'R'),
        QByteArray(MaxBlockText, 'Q'),
        QByteArray(MaxBlockText, '%'),
        QByteArray(MaxBlockText, 'P'),
        QByteArray("R%P").repeated(MaxBlockText / 3),
        QByteArray("RRP").repeated(1000),
        QByteArray("QR").repeated(MaxBlockText / 2),
        QByteArray("Qr").repeated(1000) + QByteArray("Qq").repeated(1000),
        QByteArray("*VT COMPRESSION V1*\r\nR%P").repeated(500),
        randomBytes(rng, 3, "RQP%rq"),
        randomBytes(rng, 5000, "RQP%rq"),
        randomBytes(rng, MaxBlockText, "RQP%rq"),
    };
    for (int n : {1, 2, 3, 100, 4096, 30000, MaxBlockText})
        texts.push_back(randomBytes(rng, n));
    return texts;
}

} // namespace

// ---------------------------------------------------------------------------
// Escaping

TEST(BlockEscaping, SeparatorNeverOccursInsideOrAcrossBlocks)
{
    const std::vector<QByteArray> texts = adversarialTexts();
    std::vector<QByteArray> blocks;
    for (int level : {0, 9}) {
        for (const QByteArray &t : texts) {
            const QByteArray b = block(t, level);
            ASSERT_FALSE(b.contains('R')) << "level " << level << ", text of " << t.size() << " bytes";
            QByteArray back;
            ASSERT_EQ(expandChecked(b, TextBufferSize, &back), BlockOk);
            ASSERT_EQ(back, t);
            blocks.push_back(b);
        }
    }

    // Every separator the two versions allow, including middle bytes equal
    // to the separator's own bytes and to the escape bytes.
    const QByteArray middles("%RPQqr\r\n \x01\xff", 11);
    for (int m = -1; m < middles.size(); ++m) {
        const bool v1a = m < 0;
        const char middle = v1a ? '%' : middles[m];
        const QByteArray header = CompressedReportHeader(v1a ? "1A" : "1B", middle);
        const QByteArray separator = QByteArray("R") + middle + 'P';
        ASSERT_FALSE(header.isEmpty());
        QByteArray report = header;
        std::vector<qsizetype> expected;
        for (size_t i = 0; i < blocks.size(); ++i) {
            if (i > 0) {
                expected.push_back(report.size());
                report.append(separator);
            }
            report.append(blocks[i]);
        }
        EXPECT_EQ(occurrences(report, separator), expected) << "separator middle byte " << int(middle);
    }
}

TEST(BlockEscaping, TextsTheWriterNeverStoresAreRefused)
{
    QByteArray b;
    EXPECT_FALSE(CompressPageBlock(QByteArray(MaxBlockText + 1, 'x'), b));
    EXPECT_FALSE(CompressPageBlock(QByteArray("page\0text", 9), b));
    EXPECT_TRUE(b.isEmpty());
}

// ---------------------------------------------------------------------------
// Expansion limits and damaged blocks

struct LimitCase {
    const char *name;
    QByteArray block;
    qint64 capacity;
    int result;
};

void PrintTo(const LimitCase &c, std::ostream *os) { *os << c.name; }

class BlockLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(BlockLimits, ExpansionStaysWithinTheCapacity)
{
    const LimitCase &c = GetParam();
    EXPECT_EQ(expandChecked(c.block, c.capacity), c.result);
}

INSTANTIATE_TEST_SUITE_P(Cases, BlockLimits, ::testing::Values(
    LimitCase{"FullPageFitsThePageBuffer", handMadeBlock(QByteArray(MaxBlockText, 'x')), TextBufferSize, BlockOk},
    LimitCase{"FullPageLeavesNoRoomForTheZero", handMadeBlock(QByteArray(MaxBlockText, 'x')), MaxBlockText, BlockTooLarge},
    LimitCase{"LongerThanAPageInABiggerBuffer", handMadeBlock(QByteArray(MaxBlockText + 1, 'x')), 100000, BlockTooLarge},
    LimitCase{"ExactFit", handMadeBlock("0123456789"), 11, BlockOk},
    LimitCase{"OneByteShort", handMadeBlock("0123456789"), 10, BlockTooLarge},
    LimitCase{"OnlyRoomForTheZero", handMadeBlock("0123456789"), 1, BlockTooLarge},
    LimitCase{"EmptyTextInTheSmallestBuffer", handMadeBlock(""), 1, BlockOk},
    LimitCase{"EmptyBlock", QByteArray(), TextBufferSize, BlockTruncated},
    LimitCase{"SeparatorByteInTheBlock", handMadeBlock("text").insert(3, 'R'), TextBufferSize, BlockBadEscape},
    LimitCase{"EscapeAtTheEnd", handMadeBlock("text") + 'Q', TextBufferSize, BlockBadEscape},
    LimitCase{"UnknownEscape", handMadeBlock("text").insert(2, "Qx"), TextBufferSize, BlockBadEscape},
    LimitCase{"BytesAfterTheData", handMadeBlock("text", "more"), TextBufferSize, BlockTrailingData},
    LimitCase{"ZeroByteInTheText", handMadeBlock(QByteArray("te\0xt", 5)), TextBufferSize, BlockZeroByte},
    LimitCase{"NotDeflateData", QByteArray("hello, world"), TextBufferSize, BlockDataError},
    LimitCase{"ChecksumChanged", [] { QByteArray b = handMadeBlock("text"); b[b.size() - 1] = char(b[b.size() - 1] ^ 0x04); return b; }(), TextBufferSize, BlockDataError}
));

TEST(BlockErrors, BadArgumentsAreRefused)
{
    char dst[16] = {'x'};
    EXPECT_EQ(ExpandPageBlock("abc", 3, dst, 0), BlockBadArgument);
    EXPECT_EQ(dst[0], 'x');
    EXPECT_EQ(ExpandPageBlock("abc", 3, nullptr, 16), BlockBadArgument);
    EXPECT_EQ(ExpandPageBlock(nullptr, 3, dst, 16), BlockBadArgument);
    EXPECT_EQ(ExpandPageBlock("abc", -1, dst, 16), BlockBadArgument);
    EXPECT_EQ(dst[0], 0);
}

TEST(BlockErrors, EveryTruncationIsAnError)
{
    std::mt19937 rng(7);
    const QByteArray page = QByteArray("ACCOUNT 0042   BALANCE    1,234.56 R%P QR\r\n").repeated(60);
    for (const QByteArray &b : {block(page), block(page, 0), block(randomBytes(rng, 700, "RQP%rq"), 0)}) {
        for (qsizetype len = 0; len < b.size(); ++len) {
            const int rc = expandChecked(b.left(len), TextBufferSize);
            ASSERT_NE(rc, BlockOk) << "cut at " << len << " of " << b.size();
            ASSERT_TRUE(rc == BlockTruncated || rc == BlockBadEscape) << "cut at " << len << ": " << rc;
        }
    }
}

TEST(BlockErrors, DamagedBytesNeverOverflow)
{
    std::mt19937 rng(11);
    const QByteArray page = QByteArray("ACCOUNT 0042   BALANCE    1,234.56\r\n").repeated(40);
    const QByteArray good = block(page);

    // Every single bit flip is caught by the escaping, the deflate data or
    // its checksum, or it falls in the unused bits at the end of the deflate
    // data and the page comes back whole.
    for (qsizetype i = 0; i < good.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray b = good;
            b[i] = char(b[i] ^ (1 << bit));
            QByteArray text;
            if (expandChecked(b, TextBufferSize, &text) == BlockOk) {
                ASSERT_EQ(text, page) << "byte " << i << " bit " << bit;
            }
        }
    }

    // Heavier damage, into small buffers too: any result, but never a write
    // past the capacity and never an unterminated text.
    std::uniform_int_distribution<int> byte(0, 255);
    for (int trial = 0; trial < 2000; ++trial) {
        QByteArray b = good;
        const int hits = 1 + trial % 8;
        for (int h = 0; h < hits; ++h)
            b[std::uniform_int_distribution<qsizetype>(0, b.size() - 1)(rng)] = char(byte(rng));
        const qint64 capacity = trial % 3 == 0 ? TextBufferSize : 1 + byte(rng) * 8;
        expandChecked(b, capacity);
    }
}

// ---------------------------------------------------------------------------
// Header

struct HeaderCase {
    const char *name;
    const char *version;
    char middle;
};

void PrintTo(const HeaderCase &c, std::ostream *os) { *os << c.name; }

class Header : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(Header, DetectedWithVersionAndSeparator)
{
    const HeaderCase &c = GetParam();
    const QByteArray header = CompressedReportHeader(c.version, c.middle);
    const bool v1b = QByteArray(c.version) == "1B";
    ASSERT_EQ(header.size(), v1b ? CompressedHeaderLength1B : CompressedHeaderLength1A);

    std::vector<char> buffer(TextBufferSize, 0);
    const QByteArray start = header + block("page one");
    memcpy(buffer.data(), start.constData(), size_t(start.size()));
    const DetectResult d = DetectRptType(buffer.data(), DetectionLength);
    EXPECT_EQ(d.type, RptTypeCompressed);
    EXPECT_EQ(d.version, QString(c.version));
    EXPECT_EQ(QByteArray(d.separator.data(), 3), QByteArray("R") + (v1b ? c.middle : '%') + 'P');
}

INSTANTIATE_TEST_SUITE_P(Cases, Header, ::testing::Values(
    HeaderCase{"V1A", "1A", '%'},
    HeaderCase{"V1BPercent", "1B", '%'},
    HeaderCase{"V1BMiddleR", "1B", 'R'},
    HeaderCase{"V1BMiddleP", "1B", 'P'},
    HeaderCase{"V1BMiddleCarriageReturn", "1B", '\r'},
    HeaderCase{"V1BMiddleEscapeByte", "1B", 'Q'},
    HeaderCase{"V1BMiddleHighByte", "1B", '\xfe'}
));

TEST(Header, UnusableVersionsGiveNoHeader)
{
    EXPECT_TRUE(CompressedReportHeader("1B", '\0').isEmpty()); // detection would read it as a space
    EXPECT_TRUE(CompressedReportHeader("1C", '%').isEmpty());
    EXPECT_TRUE(CompressedReportHeader("", '%').isEmpty());
}

// ---------------------------------------------------------------------------
// Scanning a compressed report

// Pages whose stored form is as long as a page may be are still found whole
// by the chunk scanner, in a file and in an unzipped member.
TEST(CompressedScan, LongestStoredPagesAreFoundWhole)
{
    std::mt19937 rng(3);
    // Incompressible texts grown until the stored page reaches the limit.
    auto longestText = [&](int room) {
        QByteArray text = randomBytes(rng, MaxStoredPage);
        QByteArray b;
        for (;;) {
            EXPECT_TRUE(CompressPageBlock(text, b));
            if (b.size() <= room)
                return text;
            text.chop(std::max<qsizetype>(1, (b.size() - room) / 2));
        }
    };
    const QByteArray separator("R%P");
    const QByteArray header = CompressedReportHeader("1A", '%');
    std::vector<QByteArray> texts = {longestText(MaxStoredPage - int(header.size()))};
    for (int i = 0; i < 4; ++i)
        texts.push_back(longestText(MaxStoredPage - 3));
    texts.push_back("last page\n");

    QByteArray report = header;
    for (size_t i = 0; i < texts.size(); ++i) {
        const QByteArray b = block(texts[i]);
        const QByteArray stored = (i ? separator : QByteArray()) + b;
        if (i + 1 < texts.size()) {
            EXPECT_GE((i ? stored.size() : stored.size() + header.size()), MaxStoredPage - 8);
        }
        report.append(stored);
    }

    for (bool member : {false, true}) {
        ReportDocument doc;
        InstallPageCodec(doc);
        QTemporaryDir dir;
        if (member) {
            OpenMemoryReport(doc, "LONG.VTC", report, {});
        } else {
            QFile f(dir.filePath("long.vtc"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(report);
            f.close();
            ASSERT_TRUE(OpenPlainReport(doc, f.fileName(), {}, nullptr));
        }
        ASSERT_TRUE(ScanWholeReport(doc));
        ASSERT_EQ(doc.pages.count(), qint64(texts.size())) << (member ? "member" : "file");
        QByteArray raw;
        for (qint64 n = 1; n <= doc.pages.count(); ++n) {
            ASSERT_TRUE(ReadPageRaw(doc, n, raw));
            EXPECT_EQ(raw, texts[size_t(n - 1)]) << "page " << n << (member ? " of the member" : " of the file");
        }
    }
}

// ---------------------------------------------------------------------------
// Round trips: compress, then scan and show every page again

namespace {

void expectSamePages(ReportDocument &original, ReportDocument &back, const std::string &what)
{
    ASSERT_EQ(back.RptType, RptTypeCompressed) << what;
    ASSERT_TRUE(ScanWholeReport(back));
    ASSERT_EQ(back.pages.count(), original.pages.count()) << what;
    for (qint64 n = 1; n <= original.pages.count(); ++n) {
        const QByteArray expected = PageDisplayText(original, n);
        const QByteArray got = PageDisplayText(back, n);
        if (got != expected) {
            ADD_FAILURE() << what << ": page " << n << " differs\n--- original\n"
                          << expected.left(400).toStdString() << "\n--- compressed\n"
                          << got.left(400).toStdString();
            return;
        }
    }
}

// Compresses the scanned report into a file and checks it page for page, read
// from the file and as an unzipped archive member.
void expectRoundTrip(ReportDocument &original, const CompressOptions &options, const std::string &name)
{
    const std::string what = name + " " + options.version.toStdString() + " '"
        + std::string(1, options.separatorMiddle) + "'";
    QTemporaryDir dir;
    const QString path = dir.filePath("report.vtc");
    QString error;
    CompressSummary summary;
    ASSERT_TRUE(WriteCompressedReport(original, path, options, &error, &summary))
        << what << ": " << error.toStdString();
    EXPECT_EQ(summary.pages, original.pages.count());
    EXPECT_EQ(summary.bytesOut, QFileInfo(path).size());

    ReportDocument fromFile;
    InstallPageCodec(fromFile);
    ASSERT_TRUE(OpenPlainReport(fromFile, path, {}, &error)) << error.toStdString();
    EXPECT_EQ(fromFile.CompressionVersion, options.version) << what;
    expectSamePages(original, fromFile, what + " (file)");

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ReportDocument member;
    InstallPageCodec(member);
    OpenMemoryReport(member, "REPORT.VTC", f.readAll(), {});
    expectSamePages(original, member, what + " (member)");
}

CompressOptions options(const char *version, char middle = '%')
{
    CompressOptions o;
    o.version = version;
    o.separatorMiddle = middle;
    return o;
}

const QByteArray Reset = PrinterResetSequence;

} // namespace

struct FixtureCase {
    const char *name;
    QByteArray report;
};

void PrintTo(const FixtureCase &c, std::ostream *os) { *os << c.name; }

class RoundTrip : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(RoundTrip, EveryPageShowsAsInTheOriginal)
{
    ScannedReport original(GetParam().report);
    ASSERT_GT(original.doc.pages.count(), 0);
    ASSERT_NE(original.doc.RptType, RptTypeCompressed);
    for (const CompressOptions &o : {options("1A"), options("1B", '#'), options("1B", 'R'), options("1B", 'P')})
        expectRoundTrip(original.doc, o, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundTrip, ::testing::Values(
    // Carriage control: spacing marks, an overprint, a page that starts with
    // empty lines, a bare page mark (blank page), a page mark "7".
    FixtureCase{"CarriageControl", "1ABC\n0DEF\n-GHI\n+  _\n1\n0\n-after two blank lines\n1\n7SEVEN\n 1 2 3\n"},
    // A page whose spacing grows past the page buffer: cut at 64,000.
    FixtureCase{"CarriageControlGrowthCut", "1first\n1second\n" + QByteArray("-\n").repeated(14000) + "1third\n"},
    // Form feeds: separators and escape bytes in the text, zero bytes,
    // empty leading lines, a CR LF after the form feed. (The magic text in
    // the first chunk would make the report itself a compressed one.)
    FixtureCase{"FormFeedSeparatorsInText", "R%P R%P RRP\r\n" + QByteArray("R%PQrQq\r\n").repeated(300)
                + "\f\n\nRRRR\n\f\r\nPPP%%%\n\f*VT COMPRESSION*\n\f" + QByteArray("z\0ro\0\n", 6)},
    // A printer reset sequence that becomes page text only once the form
    // feed inside it is removed, and one that is blanked as usual.
    FixtureCase{"FormFeedResetSequence", "top\n" + Reset.left(10) + '\x1a' + Reset.mid(10) + "\n\f"
                + Reset + "blanked\n" + Reset.left(5) + '\f' + Reset.mid(5) + Reset.left(5) + '\x1a' + Reset.mid(5) + "\n"},
    // Only line ends and box characters; bells and shift-ins; a last page
    // without a line end.
    FixtureCase{"FormFeedControlBytes", "\r\n\r\n\r\n\f\xc9\xcd\xbb\n\xba x \xba\n\xc8\xcd\xbc\f\x07ring\x0f\f\x1a\x1alast"},
    // Plain text cut into chunks, lone carriage returns.
    FixtureCase{"Plain", QByteArray("line of plain text\rwith a carriage return\n").repeated(800)}
));

TEST(RoundTrip, SampleAndCorpusReports)
{
    std::vector<QString> paths = {QDir::cleanPath(QStringLiteral(VELTRA_TEST_DATA_DIR "/../../samples/statement-cc.rpt"))};
    QDir corpus(QStringLiteral(VELTRA_CORPUS_DIR));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (name != QLatin1String("MANIFEST.md"))
            paths.push_back(corpus.filePath(name));
    }
    int types[5] = {};
    for (const QString &path : paths) {
        ScannedReport original(path, -1);
        ASSERT_GT(original.doc.pages.count(), 0) << path.toStdString();
        ++types[original.doc.RptType];
        const std::string name = QFileInfo(path).fileName().toStdString();
        expectRoundTrip(original.doc, options("1A"), name);
        expectRoundTrip(original.doc, options("1B", 'R'), name);

        // A compressed report compresses again, into the other version.
        QTemporaryDir dir;
        ASSERT_TRUE(WriteCompressedReport(original.doc, dir.filePath("a.vtc"), options("1A"), nullptr));
        ReportDocument again;
        InstallPageCodec(again);
        ASSERT_TRUE(OpenPlainReport(again, dir.filePath("a.vtc"), {}, nullptr));
        ASSERT_TRUE(ScanWholeReport(again));
        ASSERT_EQ(again.pages.count(), original.doc.pages.count());
        expectRoundTrip(again, options("1B", 'P'), name + " recompressed");
    }
    EXPECT_GT(types[RptTypeCarriageControl], 0);
    if (paths.size() == 1)
        GTEST_SKIP() << "corpus not present: only the sample was compressed";
    EXPECT_GT(types[RptTypeFormFeed], 0);
    EXPECT_GT(types[RptTypePlain], 0);
}

// ---------------------------------------------------------------------------
// What the writer refuses: nothing is written, an earlier file stays.

TEST(Writer, RefusalsLeaveTheTargetAlone)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("out.vtc");
    QFile keep(target);
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("earlier file");
    keep.close();

    // A page of 60,000 incompressible bytes (a plain report read in its
    // largest chunks) cannot be stored in one block.
    std::mt19937 rng(5);
    QByteArray noise = randomBytes(rng, 120000, QByteArray("abcdefghijklmnopqrstuvwxyz0123456789!#$&()+,./:;<=>?@[]^_{}~"
                                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZ\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\xa0\xa1\xa2\xa3\xa4\xa5"));
    for (qsizetype i = 100; i < noise.size(); i += 100)
        noise[i] = '\n';
    QFile big(dir.filePath("noise.txt"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(noise);
    big.close();
    ReportDocument wide;
    SourceOptions largest;
    largest.plainTextBufferSize = 60000;
    largest.greenBarNone = true;
    ASSERT_TRUE(OpenPlainReport(wide, big.fileName(), largest, nullptr));
    ASSERT_TRUE(ScanWholeReport(wide));

    ScannedReport noPages(QByteArray("\f\r\n"));
    ASSERT_EQ(noPages.doc.pages.count(), 0);
    ScannedReport small(QByteArray("1ABC\n1DEF\n"));

    // A compressed report with a damaged block on page 2.
    ASSERT_TRUE(WriteCompressedReport(small.doc, dir.filePath("good.vtc"), options("1A"), nullptr));
    QFile good(dir.filePath("good.vtc"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    QByteArray damagedBytes = good.readAll();
    good.close();
    ASSERT_TRUE(good.remove());
    damagedBytes[damagedBytes.size() - 2] = char(damagedBytes[damagedBytes.size() - 2] ^ 0x10);
    ScannedReport damaged(damagedBytes);
    InstallPageCodec(damaged.doc);
    ASSERT_EQ(damaged.doc.pages.count(), 2);

    struct Refusal {
        const char *name;
        ReportDocument &doc;
        CompressOptions options;
        QString path;
        const char *message;
    } refusals[] = {
        {"PageTooLargeForABlock", wide, options("1A"), target, "page 1 does not fit"},
        {"NoPages", noPages.doc, options("1A"), target, "no pages"},
        {"DamagedCompressedPage", damaged.doc, options("1B"), target, "page 2 of the compressed report is damaged"},
        {"UnknownVersion", small.doc, options("2A"), target, "unknown compression version"},
        {"ZeroSeparatorByte", small.doc, options("1B", '\0'), target, "must not be zero"},
        {"MissingFolder", small.doc, options("1A"), dir.filePath("no/such/folder/out.vtc"), "cannot write"},
    };
    for (Refusal &r : refusals) {
        QString error;
        EXPECT_FALSE(WriteCompressedReport(r.doc, r.path, r.options, &error)) << r.name;
        EXPECT_TRUE(error.contains(QLatin1String(r.message))) << r.name << ": " << error.toStdString();
        ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
        EXPECT_EQ(keep.readAll(), QByteArray("earlier file")) << r.name;
        keep.close();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left behind";
}

// A page that begins with an empty line and fills the page buffer cannot
// keep both in a block: it keeps its start and gives up its last line.
TEST(Writer, FullPageWithALeadingEmptyLineGivesUpItsLastLine)
{
    ScannedReport original(QByteArray("1before\n1\n") + QByteArray("-\n").repeated(14000) + "1after\n");
    ASSERT_EQ(original.doc.pages.count(), 3);
    const QByteArray full = original.pageText(2);
    ASSERT_EQ(full.size(), MaxPageText);
    ASSERT_TRUE(full.startsWith("\r\n"));

    QTemporaryDir dir;
    QString error;
    CompressSummary summary;
    ASSERT_TRUE(WriteCompressedReport(original.doc, dir.filePath("c.vtc"), options("1A"), &error, &summary))
        << error.toStdString();
    EXPECT_EQ(summary.pagesCut, 1);
    ScannedReport back(dir.filePath("c.vtc"), -1);
    InstallPageCodec(back.doc);
    ASSERT_EQ(back.doc.pages.count(), 3);
    EXPECT_EQ(back.pageText(1), original.pageText(1));
    EXPECT_EQ(back.pageText(2), full.left(MaxPageText - 2));
    EXPECT_EQ(back.pageText(3), original.pageText(3));
}
