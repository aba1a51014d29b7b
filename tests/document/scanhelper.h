#pragma once
// Scans a whole report the way the loader does, chunk by chunk, and returns
// the page table.

#include "document/pagetext.h"
#include "document/reportdocument.h"
#include "document/scanner.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace veltra::test {

struct ScannedReport {
    QTemporaryDir dir;
    ReportDocument doc;
    std::vector<PageEntry> pages;

    // Opens the bytes as a plain report file and scans it to the end.
    explicit ScannedReport(const QByteArray &data, int chunkSize = -1)
    {
        const QString path = dir.filePath("report.txt");
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(data);
        out.close();
        openAndScan(path, chunkSize);
    }

    ScannedReport(const QString &path, int chunkSize)
    {
        openAndScan(path, chunkSize);
    }

    QByteArray pageText(qint64 n) { return PageDisplayText(doc, n); }

private:
    void openAndScan(const QString &path, int chunkSize)
    {
        doc.RptPath = path;
        doc.SourceIsFile = true;
        doc.RptFileHandle = std::make_unique<QFile>(path);
        doc.RptFileHandle->open(QIODevice::ReadOnly);
        doc.RptSize = doc.RptFileHandle->size();
        std::vector<char> first(TextBufferSize, 0);
        doc.RptFileHandle->read(first.data(), DefaultReadChunkSize);
        const DetectResult d = DetectRptType(first.data(), DetectionLength);
        doc.RptType = d.type;
        doc.PageSeparator = d.separator;
        doc.CompressionVersion = d.version;
        doc.ReadChunkSize = chunkSize > 0 ? chunkSize
            : (d.type == RptTypePlain ? PlainReadChunkSize : DefaultReadChunkSize);
        doc.NextScanOffset = 0;
        doc.ScanPageCounter = 0;
        ChunkScanResult scratch;
        for (int guard = 0; guard < 10000000; ++guard) {
            ScanNextChunk(doc, scratch);
            if (doc.ScanAtEnd)
                break;
        }
        for (qint64 i = 1; i <= doc.pages.count(); ++i)
            pages.push_back(doc.pages.page(i));
    }
};

} // namespace veltra::test
