#include "document/pageindex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace veltra {

namespace {

struct PathParts {
    QString dir, name, ext;
};

PathParts splitPath(const QString &path, QChar sep)
{
    PathParts p;
    const qsizetype cut = path.lastIndexOf(sep);
    p.dir = cut < 0 ? QString() : path.left(cut);
    // The root folder of a drive keeps its separator ("C:\\").
    if (p.dir.size() == 2 && p.dir[1] == QLatin1Char(':'))
        p.dir += sep;
    const QString file = path.mid(cut + 1);
    const qsizetype dot = file.lastIndexOf('.');
    p.name = dot < 0 ? file : file.left(dot);
    p.ext = dot < 0 ? QString() : file.mid(dot + 1);
    return p;
}

} // namespace

void BuildIndexNames(ReportDocument &doc, const IndexSettings &settings, QChar sep)
{
    if (doc.RptIsArchived) {
        // A member of the same archive, beside the report inside it.
        QString member = doc.RptPath;
        member.replace('\\', '/');
        const PathParts p = splitPath(member, QLatin1Char('/'));
        doc.IndexDir.clear();
        doc.IndexFileName = (p.dir.isEmpty() ? QString() : p.dir + '/') + p.name + QStringLiteral(".VTI");
        return;
    }
    const PathParts p = splitPath(doc.RptPath, sep);
    if (settings.storeInReportDir) {
        doc.IndexDir = p.dir;
        doc.IndexFileName = p.dir + (p.dir.endsWith(sep) ? QString() : QString(sep)) + p.name + QStringLiteral(".VTI");
        return;
    }
    // Under the index folder, by the report's folder: drive colons go, and a
    // Linux path's leading separator too, so that /data/x.txt and C:\data\x.txt
    // both land in a folder "data" below it. Reports in a root folder or on a
    // network path end up with two separators in a row and get no index.
    QString dir = p.dir;
    dir.remove(':');
    if (sep == QLatin1Char('/') && dir.startsWith(sep))
        dir.remove(0, 1);
    doc.IndexDir = settings.pageIndiceDir + sep + dir;
    if (!p.ext.isEmpty())
        doc.IndexDir += sep + QStringLiteral("X") + p.ext;
    doc.IndexFileName = doc.IndexDir + sep + p.name + QStringLiteral(".VTI");
}

void BuildIndexHeader(ReportDocument &doc)
{
    doc.IndexHeaderName = QStringLiteral("RPTNAME=") + doc.RptPath.toUpper();
    doc.IndexHeaderDateTime = QStringLiteral("RPTDATETIME=") + doc.RptDateTime;
    doc.IndexHeaderSize = QStringLiteral("RPTSIZE=") + QString::number(doc.RptSize);
    doc.IndexHeaderType = QStringLiteral("RPTTYPE=") + QString::number(int(doc.RptType));
}

QStringList IndexLines(const QByteArray &bytes)
{
    QStringList lines;
    QByteArray line;
    for (char c : bytes) {
        if (c == '\r') {
            lines << QString::fromLatin1(line);
            line.clear();
        } else if (c != '\n') {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << QString::fromLatin1(line);
    return lines;
}

bool ApplyIndexLines(ReportDocument &doc, const QStringList &lines)
{
    doc.pages.clear();
    if (lines.size() <= 6)
        return false;
    if (lines[2].toUpper() != doc.IndexHeaderDateTime.toUpper()
        || lines[3].toUpper() != doc.IndexHeaderSize.toUpper()
        || lines[4].toUpper() != doc.IndexHeaderType.toUpper())
        return false;
    qsizetype marker = -1;
    for (qsizetype i = 5; i < lines.size(); ++i) {
        if (lines[i].trimmed().compare(QLatin1String("[PAGE INDICES]"), Qt::CaseInsensitive) == 0) {
            marker = i;
            break;
        }
    }
    if (marker < 0 || marker >= lines.size() - 2)
        return false; // no offsets, or only the end offset: nothing to show
    std::vector<qint64> offsets;
    offsets.reserve(size_t(lines.size() - marker));
    for (qsizetype i = marker + 1; i < lines.size(); ++i) {
        bool ok = false;
        const qint64 v = lines[i].trimmed().toLongLong(&ok);
        if (!ok)
            return false;
        offsets.push_back(v);
    }
    // Pages must tile the report: start at 0, grow, end at its size, and each
    // fit a page buffer.
    if (offsets.front() != 0 || offsets.back() != doc.RptSize)
        return false;
    for (size_t i = 0; i + 1 < offsets.size(); ++i) {
        const qint64 len = offsets[i + 1] - offsets[i];
        if (len <= 0 || len > MaxPageText)
            return false;
    }
    for (size_t i = 0; i + 1 < offsets.size(); ++i)
        doc.pages.addPage(offsets[i], offsets[i + 1] - offsets[i]);
    return true;
}

bool ReadPlainIndex(ReportDocument &doc, const IndexSettings &settings)
{
    doc.IndexValid = false;
    doc.DirectArchivePaging = false;
    doc.FirstPagePending = true;
    if (!settings.useIndices || doc.IndexFileName.isEmpty())
        return false;
    QFile f(doc.IndexFileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // An index is small; a huge file named like one is not ours.
    const QByteArray bytes = f.read(qint64(64) << 20);
    if (!ApplyIndexLines(doc, IndexLines(bytes)))
        return false;
    doc.IndexValid = true;
    doc.PageCountText = QString::number(doc.pages.count());
    return true;
}

QByteArray IndexFileBytes(const ReportDocument &doc)
{
    QByteArray out;
    auto line = [&](const QString &s) {
        out += s.toLatin1();
        out += "\r\n";
    };
    line(QStringLiteral("[RPT INFO]"));
    line(QStringLiteral("RPTNAME=") + doc.RptPath.toUpper());
    line(QStringLiteral("RPTDATETIME=") + doc.RptDateTime);
    line(QStringLiteral("RPTSIZE=") + QString::number(doc.RptSize));
    line(QStringLiteral("RPTTYPE=") + QString::number(int(doc.RptType)));
    line(QString());
    line(QStringLiteral("[PAGE INDICES]"));
    const qint64 n = doc.pages.count();
    for (qint64 i = 1; i <= n; ++i) {
        out += QByteArray::number(doc.pages.pageStart(i));
        out += "\r\n";
    }
    out += QByteArray::number(doc.RptSize);
    out += "\r\n";
    return out;
}

IndexWriteResult WriteIndex(const ReportDocument &doc, const IndexSettings &settings, QChar sep)
{
    if (!settings.useIndices || !settings.saveIndices || doc.IndexValid || doc.RptIsArchived
        || doc.RptType == RptTypePlain || doc.pages.count() == 0 || doc.IndexFileName.isEmpty())
        return IndexWriteResult::NotWanted;
    if (!settings.storeInReportDir && doc.IndexFileName.contains(QString(sep) + sep))
        return IndexWriteResult::NoPlace;
    if (!QDir().mkpath(doc.IndexDir))
        return IndexWriteResult::Failed;
    QSaveFile f(doc.IndexFileName);
    if (!f.open(QIODevice::WriteOnly))
        return IndexWriteResult::Failed;
    const QByteArray bytes = IndexFileBytes(doc);
    if (f.write(bytes) != bytes.size())
        return IndexWriteResult::Failed;
    return f.commit() ? IndexWriteResult::Written : IndexWriteResult::Failed;
}

} // namespace veltra
