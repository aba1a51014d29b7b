#include "util/pathutil.h"

#include "util/textutil.h"

namespace veltra {

QString parentFolderName(const QString &path, QChar sep)
{
    if (!path.contains(sep))
        return {};
    const QStringList pieces = splitText(path, QString(sep));
    return pieces.size() >= 2 ? pieces.at(pieces.size() - 2) : QString();
}

bool shortenPath(QString &path, qsizetype maxLength, QChar sep)
{
    const qsizetype n = path.size();
    const qsizetype m = maxLength;
    if (n <= m)
        return true;
    if (m <= 3)
        return false;

    const QString dots = QStringLiteral("...");
    const qsizetype cut = n - m + 3;
    const qsizetype first = path.indexOf(sep) + 1;     // 1-based, 0 = none
    const qsizetype last = path.lastIndexOf(sep) + 1;

    QString result;
    if (first == last) {
        result = path.left(m - 3) + dots;
    } else if (cut < last - first) {
        // Keep the front of the path and the whole file name.
        result = path.left(last - cut - 1) + dots + path.mid(last - 1);
    } else {
        const qsizetype keep = qMax<qsizetype>(n - cut - first - 3, 2);
        result = path.left(first) + dots + path.mid(last - 1, keep) + dots;
        // With a long first folder the two marks would make the text longer
        // than allowed (even longer than the original); cut at the end instead.
        if (result.size() > m)
            result = path.left(m - 3) + dots;
    }
    path = result;
    return path.size() == m;
}

namespace {

// Index just after the separator (or, for '\\' paths, the drive colon) that
// precedes the file name.
qsizetype fileNameStart(const QString &path, QChar sep)
{
    qsizetype at = path.lastIndexOf(sep);
    if (sep == QLatin1Char('\\'))
        at = qMax(at, path.lastIndexOf(QLatin1Char(':')));
    return at + 1;
}

}  // namespace

QString fileNamePart(const QString &path, QChar sep)
{
    return path.mid(fileNameStart(path, sep));
}

QString fileExtension(const QString &path, QChar sep)
{
    const QString name = fileNamePart(path, sep);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString nameWithoutExtension(const QString &path, QChar sep)
{
    const QString name = fileNamePart(path, sep);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString directoryPart(const QString &path, QChar sep)
{
    QString dir = path.left(fileNameStart(path, sep));
    if (!dir.endsWith(sep))
        return dir;  // empty, or a bare drive such as "C:"
    const QString withoutSep = dir.left(dir.size() - 1);
    // The root keeps its separator: "/" or "C:\".
    if (withoutSep.isEmpty() || (sep == QLatin1Char('\\') && withoutSep.endsWith(QLatin1Char(':'))))
        return dir;
    return withoutSep;
}

}  // namespace veltra
