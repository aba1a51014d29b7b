#pragma once
// Opens bytes or a file as a plain report and scans it the way the loader
// does, chunk by chunk.

#include "document/pagetext.h"
#include "document/reportdocument.h"
#include "document/reportsource.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace veltra::test {

struct ScannedReport {
    QTemporaryDir dir;
    ReportDocument doc;
    std::vector<PageEntry> pages;

    explicit ScannedReport(const QByteArray &data, int chunkSize = -1)
    {
        const QString path = dir.filePath("report.txt");
        QFile out(path);
        if (out.open(QIODevice::WriteOnly))
            out.write(data);
        out.close();
        openAndScan(path, chunkSize);
    }

    ScannedReport(const QString &path, int chunkSize) { openAndScan(path, chunkSize); }

    QByteArray pageText(qint64 n) { return PageDisplayText(doc, n); }

private:
    void openAndScan(const QString &path, int chunkSize)
    {
        if (!OpenPlainReport(doc, path, {}, nullptr))
            return;
        if (chunkSize > 0)
            doc.ReadChunkSize = chunkSize;
        ScanWholeReport(doc);
        for (qint64 i = 1; i <= doc.pages.count(); ++i)
            pages.push_back(doc.pages.page(i));
    }
};

} // namespace veltra::test
