// Fuzz driver: type detection, the chunk-by-chunk page scan of a whole input,
// and the display text of every page found.
//
// The first input byte picks the scan chunk size, the rest is the report. The
// driver checks what every caller relies on: pages tile the text from 0
// without gaps, none is empty or longer than a chunk, and every display text
// fits the 64,000-byte page buffer and ends with a line end.

#include "document/pagetext.h"
#include "document/reportdocument.h"
#include "document/reportsource.h"
#include "document/scanner.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace veltra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const int chunkSizes[] = {DefaultReadChunkSize, PlainReadChunkSize, 60000, MaxPageText, 257, 4096};
    const int chunkSize = chunkSizes[data[0] % (sizeof chunkSizes / sizeof chunkSizes[0])];
    const QByteArray report(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    ReportDocument doc;
    OpenMemoryReport(doc, QStringLiteral("FUZZ.RPT"), report, {});
    doc.ReadChunkSize = chunkSize;
    // Stand-in block expansion: copies the block, as long as it fits.
    doc.expandBlock = [](const char *src, qint64 len, char *dst, qint64 capacity) {
        if (len < 0 || len >= capacity)
            return 1;
        memcpy(dst, src, size_t(len));
        return 0;
    };

    ChunkScanResult scratch;
    doc.NextScanOffset = 0;
    doc.ScanPageCounter = 0;
    for (qint64 guard = 0;; ++guard) {
        ScanNextChunk(doc, scratch);
        if (doc.ScanAtEnd)
            break;
        if (guard > qint64(size) + 2)
            abort(); // the scan stopped making progress
    }

    qint64 next = 0;
    for (qint64 n = 1; n <= doc.pages.count(); ++n) {
        const PageEntry e = doc.pages.page(n);
        if (e.start != next || e.length <= 0 || e.length > chunkSize)
            abort();
        next = e.start + e.length;
    }
    if (next > report.size())
        abort();

    QByteArray raw;
    for (qint64 n = 1; n <= doc.pages.count(); ++n) {
        if (!ReadPageRaw(doc, n, raw))
            abort();
        const QByteArray text = FormatPageText(raw, doc.RptType);
        if (text.size() > MaxPageText || !text.endsWith("\r\n"))
            abort();
        const QByteArray merged = MergeOverprintLines(raw);
        (void)merged;
    }
    return 0;
}
