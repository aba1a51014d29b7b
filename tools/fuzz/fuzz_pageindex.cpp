// Fuzz driver: the page index reader. An index file is outside data (it
// sits beside the report or inside an archive and may be stale, cut short
// or written by something else); whatever it holds, the reader either takes
// a page table that tiles the report or leaves the table empty.
//
// The first byte chooses the report size and whether the input is put
// behind the report's own valid header lines, so that the fuzzer reaches the
// offset checks and not only the header comparison.

#include "document/pageindex.h"
#include "document/reportdocument.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace veltra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    ReportDocument doc;
    doc.RptPath = QStringLiteral("/reports/DAILY.TXT");
    doc.RptType = RptTypeFormFeed;
    doc.RptSize = 1000 + (data[0] >> 1) * 997;
    doc.setDateTime(2026, 12, 11, 10, 30, 0);
    IndexSettings settings;
    BuildIndexNames(doc, settings);
    BuildIndexHeader(doc);

    QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (data[0] & 1) {
        const QByteArray valid = IndexFileBytes(doc);  // the header lines of an empty table
        bytes.prepend(valid);
    }
    const bool taken = ApplyIndexLines(doc, IndexLines(bytes));
    const qint64 n = doc.pages.count();
    if (!taken) {
        if (n != 0)
            abort();
        return 0;
    }
    qint64 next = 0;
    for (qint64 p = 1; p <= n; ++p) {
        const PageEntry e = doc.pages.page(p);
        if (e.start != next || e.length <= 0)
            abort();
        next = e.start + e.length;
    }
    if (next != doc.RptSize)
        abort();
    return 0;
}
