#include "util/fileutil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace veltra {

namespace {

constexpr qint64 CopyBlockSize = 4096;

void collect(const QString &dir, QDir::Filters kind, bool recursive, QStringList &out)
{
    QDir d(dir);
    const QFileInfoList entries =
        d.entryInfoList(kind | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries)
        out.append(entry.absoluteFilePath());
    if (!recursive)
        return;
    // Linked folders are not followed, so a link loop cannot recurse forever.
    const QFileInfoList subdirs =
        d.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &sub : subdirs)
        collect(sub.absoluteFilePath(), kind, recursive, out);
}

FileList listEntries(const QString &startDir, QDir::Filters kind, bool recursive)
{
    FileList result;
    const QFileInfo start(startDir);
    if (startDir.isEmpty() || !start.isDir()) {
        result.error = QString::fromLatin1(InvalidStartingDirectory);
        return result;
    }
    collect(start.absoluteFilePath(), kind, recursive, result.paths);
    return result;
}

}  // namespace

int copyFile(const QString &source, const QString &target)
{
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return CopySourceUnreadable;
    const QDateTime modified = QFileInfo(in).lastModified();
    if (!modified.isValid())
        return CopyDateUnreadable;

    // Copying a file onto itself would truncate it: it already is its own copy.
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && targetInfo.canonicalFilePath() == QFileInfo(source).canonicalFilePath())
        return CopyOk;

    // The copy is written beside the target and renamed into place when it
    // is complete, so a failed copy leaves no partial target behind (and an
    // older target stays as it was).
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return CopyTargetNotCreatable;

    char block[CopyBlockSize];
    for (;;) {
        const qint64 got = in.read(block, CopyBlockSize);
        if (got < 0) {
            out.cancelWriting();
            return CopyReadError;
        }
        if (got == 0)
            break;
        if (out.write(block, got) != got) {
            out.cancelWriting();
            return CopyWriteError;
        }
    }
    if (!in.atEnd() && in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return CopyReadError;
    }
    if (!out.commit())
        return CopyWriteError;

    QFile::setPermissions(target, QFile::permissions(source));
    QFile copy(target);
    if (!copy.open(QIODevice::ReadWrite) ||
        !copy.setFileTime(modified, QFileDevice::FileModificationTime))
        return CopyDateUnreadable;
    return CopyOk;
}

FileList listFiles(const QString &startDir, bool recursive)
{
    return listEntries(startDir, QDir::Files, recursive);
}

FileList listSubdirectories(const QString &startDir, bool recursive)
{
    return listEntries(startDir, QDir::Dirs, recursive);
}

QString tempFileName(const QString &dir, const QString &prefix)
{
    if (dir.isEmpty() || prefix.contains(QLatin1Char('/')) || !QFileInfo(dir).isDir())
        return {};
    QTemporaryFile file(QDir(dir).filePath(prefix + QStringLiteral("XXXXXX")));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    return QFileInfo(file.fileName()).absoluteFilePath();
}

}  // namespace veltra
