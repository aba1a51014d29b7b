#pragma once
// Whole-file reads and writes for tests that compare files byte for byte.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace veltra::test {

// The file's bytes, or "<unreadable>" when it cannot be opened.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

// Replaces the file with bytes; a failure fails the calling test.
inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace veltra::test
