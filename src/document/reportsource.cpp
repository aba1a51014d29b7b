#include "document/reportsource.h"

#include <QDateTime>
#include <QFileInfo>

#include <cstring>

namespace veltra {

void DetectSourceType(ReportDocument &doc, const SourceOptions &options)
{
    char *buf = doc.ReadBuffer.data();
    memset(buf, 0, TextBufferSize);
    qint64 got = 0;
    if (doc.SourceIsFile && doc.RptFileHandle && doc.RptFileHandle->seek(0)) {
        got = doc.RptFileHandle->read(buf, DefaultReadChunkSize);
    } else if (!doc.SourceIsFile) {
        got = std::min<qint64>(DefaultReadChunkSize, doc.RptStream.size());
        memcpy(buf, doc.RptStream.constData(), size_t(std::max<qint64>(got, 0)));
    }
    (void)got; // the buffer is zero-filled: a short report reads as padded
    const DetectResult d = DetectRptType(buf, DetectionLength);
    doc.RptType = d.type;
    doc.PageSeparator = d.separator;
    doc.CompressionVersion = d.version;
    doc.ReadChunkSize = DefaultReadChunkSize;
    if (d.type == RptTypePlain) {
        doc.ReadChunkSize = (options.greenBarNone && options.plainTextBufferSize > PlainReadChunkSize)
            ? options.plainTextBufferSize : PlainReadChunkSize;
    }
}

void CloseReportFile(ReportDocument &doc)
{
    QString path;
    if (doc.RptFileHandle) {
        path = doc.RptFileHandle->fileName();
        doc.RptFileHandle->close();
        doc.RptFileHandle.reset();
    }
    if (!doc.RptIsArchived && path.endsWith(QLatin1String(".~~~"), Qt::CaseInsensitive))
        QFile::remove(path);
    doc.ReadChunkSize = DefaultReadChunkSize;
}

static void resetScan(ReportDocument &doc)
{
    doc.pages.clear();
    doc.PageCountText = QStringLiteral("???");
    doc.NextScanOffset = 0;
    doc.ScanPageCounter = 0;
    doc.ScanAtEnd = false;
}

bool OpenPlainReport(ReportDocument &doc, const QString &path, const SourceOptions &options,
                     QString *error)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Could not open file 01\r\n") + path;
        return false;
    }
    doc.RptPath = path;
    doc.RptIsArchived = false;
    doc.SourceIsFile = true;
    doc.RptFileHandle = std::move(file);
    doc.RptSize = doc.RptFileHandle->size();
    const QDateTime t = QFileInfo(path).lastModified();
    doc.setDateTime(t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                    t.time().minute(), t.time().second());
    DetectSourceType(doc, options);
    doc.buildReportKey();
    resetScan(doc);
    return true;
}

void OpenMemoryReport(ReportDocument &doc, const QString &memberName, QByteArray bytes,
                      const SourceOptions &options)
{
    doc.RptPath = memberName;
    doc.SourceIsFile = false;
    doc.RptFileHandle.reset();
    doc.RptStream = std::move(bytes);
    doc.RptSize = doc.RptStream.size();
    doc.RptStreamFilled = doc.RptSize;
    DetectSourceType(doc, options);
    doc.buildReportKey();
    resetScan(doc);
}

bool ScanWholeReport(ReportDocument &doc)
{
    ChunkScanResult scratch;
    doc.NextScanOffset = 0;
    doc.ScanPageCounter = 0;
    doc.pages.clear();
    for (;;) {
        ScanNextChunk(doc, scratch);
        if (doc.LoadStop)
            return false;
        if (doc.ScanAtEnd)
            break;
    }
    doc.PageCountText = QString::number(doc.pages.count());
    return true;
}

} // namespace veltra
