#include "archive/pagecodec.h"

#include "document/pagetext.h"
#include "document/scanner.h"

#include <QIODevice>
#include <QSaveFile>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace veltra {

namespace {

constexpr char SeparatorFirst = 'R';  // first byte of every page separator
constexpr char EscapedQ = 'q';
constexpr char EscapedR = 'r';
constexpr char Substitute = 26;        // the formatter removes it after the reset sequence step

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Reads an escaped block front to back and hands out the deflate bytes in
// pieces.
class Unescaper {
public:
    Unescaper(const char *src, qint64 len) : p_(src), end_(src + len) {}

    bool atEnd() const { return p_ == end_; }

    // Fills up to cap bytes; false on a bad escape.
    bool next(unsigned char *out, qint64 cap, qint64 &got)
    {
        got = 0;
        while (got < cap && p_ < end_) {
            const char c = *p_;
            if (c == SeparatorFirst)
                return false;
            if (c == BlockEscape) {
                if (end_ - p_ < 2)
                    return false;
                const char code = p_[1];
                if (code == EscapedQ)
                    out[got++] = static_cast<unsigned char>(BlockEscape);
                else if (code == EscapedR)
                    out[got++] = static_cast<unsigned char>(SeparatorFirst);
                else
                    return false;
                p_ += 2;
            } else {
                out[got++] = static_cast<unsigned char>(c);
                ++p_;
            }
        }
        return true;
    }

private:
    const char *p_;
    const char *end_;
};

int expand(const char *src, qint64 len, char *dst, qint64 capacity, qint64 &textLength)
{
    textLength = 0;
    const qint64 limit = std::min<qint64>(capacity - 1, MaxBlockText);

    z_stream zs;
    memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK)
        return BlockDataError;

    Unescaper input(src, len);
    unsigned char piece[4096];
    unsigned char spill = 0;  // catches the first byte beyond the limit
    zs.next_out = reinterpret_cast<Bytef *>(dst);
    zs.avail_out = uInt(limit);

    int result = BlockOk;
    for (;;) {
        if (zs.avail_in == 0 && !input.atEnd()) {
            qint64 got = 0;
            if (!input.next(piece, sizeof piece, got)) {
                result = BlockBadEscape;
                break;
            }
            zs.next_in = piece;
            zs.avail_in = uInt(got);
        }
        if (zs.avail_out == 0) {
            // The text has filled the limit: room for one more byte tells
            // whether the data goes on or only its end is left.
            zs.next_out = &spill;
            zs.avail_out = 1;
        }
        const int rc = inflate(&zs, Z_NO_FLUSH);
        if (qint64(zs.total_out) > limit) {
            result = BlockTooLarge;
            break;
        }
        if (rc == Z_STREAM_END) {
            if (zs.avail_in != 0 || !input.atEnd())
                result = BlockTrailingData;
            break;
        }
        if (rc == Z_OK)
            continue;
        if (rc == Z_BUF_ERROR && zs.avail_in == 0 && input.atEnd())
            result = BlockTruncated;
        else
            result = BlockDataError;
        break;
    }
    textLength = qint64(zs.total_out);
    inflateEnd(&zs);
    return result;
}

} // namespace

QString blockResultText(int code)
{
    switch (code) {
    case BlockOk: return QStringLiteral("ok");
    case BlockBadArgument: return QStringLiteral("bad argument");
    case BlockBadEscape: return QStringLiteral("bad escape in the block");
    case BlockDataError: return QStringLiteral("damaged block data");
    case BlockTruncated: return QStringLiteral("truncated block");
    case BlockTooLarge: return QStringLiteral("page text too long");
    case BlockTrailingData: return QStringLiteral("bytes after the end of the block data");
    case BlockZeroByte: return QStringLiteral("zero byte in the page text");
    default: return QStringLiteral("unknown result %1").arg(code);
    }
}

bool CompressPageBlock(const QByteArray &text, QByteArray &block, int level)
{
    block.clear();
    if (text.size() > MaxBlockText || text.contains('\0'))
        return false;
    uLongf deflatedLength = compressBound(uLong(text.size()));
    QByteArray deflated(qsizetype(deflatedLength), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(deflated.data()), &deflatedLength,
                  reinterpret_cast<const Bytef *>(text.constData()), uLong(text.size()), level)
        != Z_OK)
        return false;

    block.reserve(qsizetype(deflatedLength + deflatedLength / 64 + 16));
    for (uLongf i = 0; i < deflatedLength; ++i) {
        const char c = deflated[qsizetype(i)];
        if (c == BlockEscape) {
            block.append(BlockEscape);
            block.append(EscapedQ);
        } else if (c == SeparatorFirst) {
            block.append(BlockEscape);
            block.append(EscapedR);
        } else {
            block.append(c);
        }
    }
    return true;
}

int ExpandPageBlock(const char *src, qint64 len, char *dst, qint64 capacity)
{
    if (!dst || capacity < 1)
        return BlockBadArgument;
    if ((!src && len != 0) || len < 0) {
        dst[0] = 0;
        return BlockBadArgument;
    }
    qint64 textLength = 0;
    int result = expand(src, len, dst, capacity, textLength);
    if (result == BlockOk && memchr(dst, 0, size_t(textLength)))
        result = BlockZeroByte;
    if (result != BlockOk) {
        dst[0] = 0;
        return result;
    }
    dst[textLength] = 0;  // textLength < capacity: the limit left room for it
    return BlockOk;
}

QByteArray BlockTextForPage(const QByteArray &displayText)
{
    QByteArray out;
    out.reserve(displayText.size() + 1);
    // The formatter drops a line end at the very start of a page; one more
    // in front keeps the empty first line of a page that has one.
    if (displayText.startsWith("\r\n"))
        out.append('\n');
    const char *p = displayText.constData();
    const qsizetype n = displayText.size();
    const qsizetype resetLength = PrinterResetSequence.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            continue;  // the formatter turns a lone line feed back into CR LF
        if (p[i] == PrinterResetSequence[0] && n - i >= resetLength
            && memcmp(p + i, PrinterResetSequence.constData(), size_t(resetLength)) == 0) {
            // The formatter would blank a printer reset sequence that is page
            // text by now: a byte it removes later keeps it whole.
            out.append(p[i]);
            out.append(Substitute);
            out.append(p + i + 1, resetLength - 1);
            i += resetLength - 1;
            continue;
        }
        out.append(p[i]);
    }
    return out;
}

QByteArray CompressedReportHeader(const QString &version, char separatorMiddle)
{
    QByteArray header(CompressionMagic, CompressionMagicLength);
    if (version == QLatin1String("1A")) {
        header.append("\r\n");
        return header;
    }
    if (version == QLatin1String("1B") && separatorMiddle != 0) {
        header.append(' ');
        header.append(separatorMiddle);
        header.append(" \r\n");
        return header;
    }
    return {};
}

void InstallPageCodec(ReportDocument &doc)
{
    doc.expandBlock = ExpandPageBlock;
}

bool CompressReport(ReportDocument &source, QIODevice &out, const CompressOptions &options,
                    QString *error, CompressSummary *summary)
{
    const QByteArray header = CompressedReportHeader(options.version, options.separatorMiddle);
    if (header.isEmpty()) {
        setError(error, options.version == QLatin1String("1B")
                            ? QStringLiteral("the separator byte of version 1B must not be zero")
                            : QStringLiteral("unknown compression version \"%1\" (1A or 1B)").arg(options.version));
        return false;
    }
    const qint64 count = source.pages.count();
    if (count < 1) {
        setError(error, QStringLiteral("the report has no pages to compress"));
        return false;
    }
    const char separator[3] = {SeparatorFirst,
                               options.version == QLatin1String("1B") ? options.separatorMiddle : '%', 'P'};

    CompressSummary done;
    QByteArray raw, block, stored;
    std::vector<char> check(TextBufferSize);
    // Stores text in block when the viewer will show exactly `expected` from it.
    auto storesAs = [&](const QByteArray &text, const QByteArray &expected) {
        if (!CompressPageBlock(text, block, options.level))
            return false;
        std::fill(check.begin(), check.end(), 0);
        return ExpandPageBlock(block.constData(), block.size(), check.data(), TextBufferSize) == BlockOk
            && FormatPageText(QByteArray(check.data()), RptTypeCompressed) == expected;
    };
    for (qint64 n = 1; n <= count; ++n) {
        if (!ReadPageRaw(source, n, raw)) {
            setError(error, QStringLiteral("page %1 could not be read").arg(n));
            return false;
        }
        // The page reader shows a damaged block as an empty page; a copy
        // must not pass that off as the page.
        if (source.RptType == RptTypeCompressed && raw.isEmpty()) {
            setError(error, QStringLiteral("page %1 of the compressed report is damaged").arg(n));
            return false;
        }
        const QByteArray display = FormatPageText(raw, source.RptType);
        // Each block is read back the way the viewer will read it: the page
        // must show exactly as it does in the original report.
        bool ok = storesAs(BlockTextForPage(display), display);
        if (!ok && display.startsWith("\r\n") && display.size() > MaxPageText - 2) {
            // A page that begins with an empty line and fills the whole page
            // buffer cannot keep both: the formatter takes the line end that
            // stands in for the empty line into the buffer first. The page
            // gives up its last line instead.
            const QByteArray cut = display.left(display.lastIndexOf("\r\n", MaxPageText - 4) + 2);
            ok = storesAs(BlockTextForPage(cut), cut);
            if (ok)
                ++done.pagesCut;
        }
        if (!ok) {
            setError(error, QStringLiteral("page %1 cannot be stored exactly in a compressed block").arg(n));
            return false;
        }
        stored.clear();
        if (n == 1)
            stored.append(header);
        else
            stored.append(separator, 3);
        stored.append(block);
        if (stored.size() > MaxStoredPage) {
            setError(error, QStringLiteral("page %1 does not fit in one compressed block "
                                           "(%2 bytes stored, at most %3)")
                                .arg(n).arg(stored.size()).arg(MaxStoredPage));
            return false;
        }
        if (out.write(stored) != stored.size()) {
            setError(error, QStringLiteral("write failed: %1").arg(out.errorString()));
            return false;
        }
        ++done.pages;
        done.bytesIn += display.size();
        done.bytesOut += stored.size();
    }
    if (summary)
        *summary = done;
    return true;
}

bool WriteCompressedReport(ReportDocument &source, const QString &path, const CompressOptions &options,
                           QString *error, CompressSummary *summary)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    if (!CompressReport(source, file, options, error, summary)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

} // namespace veltra
