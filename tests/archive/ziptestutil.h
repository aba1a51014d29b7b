#pragma once
// Fixtures for the archive tests: report-like text, archives made by the
// Info-ZIP tools, and byte patches. Every test makes its own scratch folder.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ziptest {

// Lines of a listing with varying numbers: compresses like a real report.
inline QByteArray reportText(qint64 bytes, quint32 seed = 1)
{
    QByteArray out;
    out.reserve(bytes + 100);
    quint32 x = seed;
    int line = 0;
    while (out.size() < bytes) {
        x = x * 1664525u + 1013904223u;
        out += QByteArray(" ACCOUNT ") + QByteArray::number(++line).rightJustified(7, '0') + "  "
               + QByteArray::number(x % 100000000u, 16).rightJustified(8, '0') + "  AMOUNT "
               + QByteArray::number(int(x >> 8) % 999999).rightJustified(9, ' ') + "\r\n";
    }
    out.truncate(bytes);
    return out;
}

inline QString writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(path);
    f.write(data);
    return path;
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs a tool in dir; returns its standard output, exit code in *exitCode.
inline QByteArray run(const QString &dir, const QString &program, const QStringList &args,
                      int *exitCode = nullptr)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

// Makes archive (in dir) with the Info-ZIP zip tool from files already in
// dir; extra options such as "-P", "pw" or "-0" come first.
inline QString infoZip(const QString &dir, const QString &archive, const QStringList &options,
                       const QStringList &files)
{
    int code = 0;
    run(dir, QStringLiteral("zip"), QStringList{QStringLiteral("-q"), QStringLiteral("-X")} + options
                                        + QStringList{archive} + files,
        &code);
    EXPECT_EQ(code, 0) << "zip failed for " << qPrintable(archive);
    return QDir(dir).filePath(archive);
}

inline quint32 le32(const QByteArray &b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16
           | quint32(quint8(b[at + 3])) << 24;
}

inline void put32(QByteArray &b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(quint8(v >> (8 * i)));
}

// Offset of the first central-directory record, and of the first local header.
inline qsizetype centralRecord(const QByteArray &zip)
{
    return zip.indexOf(QByteArray("PK\x01\x02", 4));
}

} // namespace ziptest
