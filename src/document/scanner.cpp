#include "document/scanner.h"

#include "platform/messagesink.h"

#include <algorithm>
#include <cstring>

namespace veltra {

namespace {

const char *findBytes(const char *hay, qint64 hayLen, const char *needle, qint64 needleLen)
{
    if (needleLen <= 0 || hayLen < needleLen)
        return nullptr;
    return static_cast<const char *>(memmem(hay, size_t(hayLen), needle, size_t(needleLen)));
}

void zerosToSpaces(char *p, qint64 n)
{
    char *end = p + n;
    while (p < end) {
        p = static_cast<char *>(memchr(p, 0, size_t(end - p)));
        if (!p)
            break;
        *p++ = ' ';
    }
}

// Trailing text of carriage-control and form-feed reports that is not a page.
bool onlyFiller(const char *p, qint64 n)
{
    for (qint64 i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c != 26 && c != 12 && c != 13 && c != 10 && c != 32 && c != 255)
            return false;
    }
    return true;
}

// Position just after the next line feed that is followed by a page mark, at
// or after 'from'; a mark "7" becomes "1" on the way. -1 when none.
qint64 nextCarriageBoundary(char *chunk, qint64 bytes, qint64 from)
{
    char *p = chunk + from;
    char *end = chunk + bytes;
    while (p < end) {
        char *lf = static_cast<char *>(memchr(p, '\n', size_t(end - p)));
        if (!lf || lf + 1 >= end)
            return -1;
        if (lf[1] == '7')
            lf[1] = '1';
        if (lf[1] == '1')
            return (lf + 1) - chunk;
        p = lf + 1;
    }
    return -1;
}

} // namespace

DetectResult DetectRptType(char *buffer, int length)
{
    DetectResult r;
    if (length <= 0)
        return r;
    zerosToSpaces(buffer, length - 1);
    const char *magic = findBytes(buffer, length, CompressionMagic, CompressionMagicLength);
    if (magic) {
        r.type = RptTypeCompressed;
        r.version = QStringLiteral("1A");
        // The header sits at the start of the file: byte 19 tells the version.
        if (length > 20 && buffer[19] != '\r') {
            r.separator[1] = buffer[20];
            r.version = QStringLiteral("1B");
        }
        return r;
    }
    if (memchr(buffer, '\f', size_t(length)))
        r.type = RptTypeFormFeed;
    else if (buffer[0] == '1')
        r.type = RptTypeCarriageControl;
    else
        r.type = RptTypePlain;
    return r;
}

void ScanPages(char *chunk, int bytes, ReportType type, bool atEnd, qint64 chunkOffset,
               qint64 &pageCounter, int maxPages, const std::array<char, 3> &separator,
               ChunkScanResult &result)
{
    result.entries.clear();
    result.numbers.clear();
    result.lastIndex = -1;
    result.nextScanOffset = -1;
    if (bytes <= 0) {
        result.nextScanOffset = atEnd ? -1 : chunkOffset;
        return;
    }

    qint64 pageStart = 0; // chunk position of the current page
    auto addEntry = [&](qint64 boundary) {
        result.entries.push_back({chunkOffset + pageStart, boundary - pageStart});
        result.numbers.push_back(++pageCounter);
        pageStart = boundary;
    };
    auto full = [&] { return int(result.entries.size()) >= maxPages; };

    if (type == RptTypePlain) {
        if (atEnd) {
            addEntry(bytes);
        } else {
            const char *lastLf = static_cast<const char *>(memrchr(chunk, '\n', size_t(bytes)));
            // Without any line end the page ends at the chunk's end, so the
            // scan always moves on.
            addEntry(lastLf ? (lastLf - chunk) + 1 : bytes);
        }
        result.lastIndex = int(result.entries.size()) - 1;
        result.nextScanOffset = atEnd ? -1 : chunkOffset + pageStart;
        return;
    }

    if (type == RptTypeCarriageControl || type == RptTypeFormFeed)
        zerosToSpaces(chunk, bytes);

    if (type == RptTypeCarriageControl) {
        qint64 b = nextCarriageBoundary(chunk, bytes, 0);
        // A page may not run past the first-boundary limit: cut it after the
        // last line end before the limit. The short last page of a report
        // is left whole.
        if ((b < 0 && (!atEnd || bytes > FirstBoundaryLimit)) || b >= FirstBoundaryLimit) {
            const qint64 window = std::min<qint64>(bytes, FirstBoundaryLimit);
            const char *lf = static_cast<const char *>(memrchr(chunk, '\n', size_t(window)));
            if (lf && (lf - chunk) + 1 < bytes)
                b = (lf - chunk) + 1;
        }
        while (b > pageStart && !full()) {
            addEntry(b);
            b = nextCarriageBoundary(chunk, bytes, b);
        }
    } else if (type == RptTypeFormFeed) {
        qint64 from = 0;
        if (chunk[0] == '\f')
            from = 1;
        else if (bytes > 1 && chunk[0] == '\r' && chunk[1] == '\f')
            from = 2;
        while (from < bytes && !full()) {
            const char *ff = static_cast<const char *>(memchr(chunk + from, '\f', size_t(bytes - from)));
            if (!ff)
                break;
            const qint64 p = ff - chunk;
            if (p > pageStart)
                addEntry(p);
            from = p + 1;
        }
    } else if (type == RptTypeCompressed) {
        qint64 from = (bytes >= 3 && memcmp(chunk, separator.data(), 3) == 0) ? 1 : 0;
        // Look for the separator's first byte with memchr (much faster than a
        // general substring search) and compare the other two by hand.
        while (from <= bytes - 3 && !full()) {
            const char *s = static_cast<const char *>(memchr(chunk + from, separator[0], size_t(bytes - 2 - from)));
            if (!s)
                break;
            const qint64 p = s - chunk;
            if (s[1] == separator[1] && s[2] == separator[2] && p > pageStart)
                addEntry(p);
            from = p + 1;
        }
    }

    if (full() || !atEnd) {
        if (result.entries.empty() && !atEnd) {
            // No boundary in the whole chunk: end the page at the chunk's end
            // so that the scan always makes progress.
            addEntry(bytes);
        }
        result.lastIndex = int(result.entries.size()) - 1;
        const PageEntry &last = result.entries.back();
        result.nextScanOffset = last.start + last.length;
        return;
    }

    // Last chunk: what is left after the last boundary is the last page when
    // it holds anything.
    const qint64 rest = bytes - pageStart;
    const bool keep = type == RptTypeCompressed ? rest > 0 : !onlyFiller(chunk + pageStart, rest);
    if (rest > 0 && keep)
        addEntry(bytes);
    result.lastIndex = int(result.entries.size()) - 1;
    result.nextScanOffset = -1;
}

void ScanNextChunk(ReportDocument &doc, ChunkScanResult &scratch)
{
    doc.ScanOffset = doc.NextScanOffset;
    char *buf = doc.ReadBuffer.data();
    const int chunkSize = std::clamp(doc.ReadChunkSize, 1, MaxPageText);
    qint64 got = 0;
    doc.ScanAtEnd = false;

    if (doc.ScanOffset < 0) {
        doc.ScanAtEnd = true;
        return;
    }

    if (doc.SourceIsFile) {
        const QFile *f = doc.RptFileHandle.get();
        if (!f || !f->isOpen()) {
            if (doc.messages)
                doc.messages->errorAbort(QStringLiteral("File Not Open 02\r\n") + doc.RptPath);
            doc.ScanAtEnd = true;
            return;
        }
        got = doc.readAt(doc.ScanOffset, buf, chunkSize);
        if (got < 1) {
            doc.ScanAtEnd = true;
            return;
        }
        if (got < chunkSize)
            doc.ScanAtEnd = true;
    } else {
        // The unzip may still be filling the member: its size is fixed at
        // RptSize from the start.
        got = std::max<qint64>(0, doc.readAt(doc.ScanOffset, buf, chunkSize));
        if (doc.ScanOffset + chunkSize >= doc.RptSize)
            doc.ScanAtEnd = true;
    }
    buf[got] = 0;

    ScanPages(buf, int(got), doc.RptType, doc.ScanAtEnd, doc.ScanOffset, doc.ScanPageCounter,
              MaxPagesPerChunk, doc.PageSeparator, scratch);
    for (const PageEntry &e : scratch.entries)
        doc.pages.addPage(e.start, e.length);
    // A chunk that gave its 5,000 pages before its end is not the end, even
    // when it reached the end of the text.
    doc.NextScanOffset = scratch.nextScanOffset;
    doc.ScanAtEnd = doc.NextScanOffset < 0;

    const qint64 locate = doc.LocateOffset.load();
    const qint64 count = doc.pages.count();
    if (locate != -1 && count > 0) {
        const PageEntry last = doc.pages.page(count);
        if (locate < last.start + last.length) {
            // First page whose end lies beyond the offset.
            qint64 lo = 1, hi = count;
            while (lo < hi) {
                const qint64 mid = lo + (hi - lo) / 2;
                const PageEntry e = doc.pages.page(mid);
                if (e.start + e.length > locate)
                    hi = mid;
                else
                    lo = mid + 1;
            }
            doc.FirstShownPage = lo;
            doc.LocatedPage = lo;
            doc.LocateOffset = -1;
            if (doc.onLocated)
                doc.onLocated(lo);
        }
    }
}

} // namespace veltra
