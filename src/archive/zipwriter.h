#pragma once
// Writing zip archives on libzip: members from files or from memory,
// deflated at level 9 unless told otherwise, optionally protected with
// traditional PKWARE encryption, with member and archive comments.
//
// Nothing reaches the disk before write(): libzip then writes the whole
// archive under a temporary name beside it and renames that over the
// archive only when everything was written. A failure or a cancel leaves
// the archive as it was (or absent) and no temporary file behind.

#include "archive/archivecodes.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

namespace veltra {

class ZipWriter {
public:
    // archivePath may name an existing archive: its members are kept and
    // the ones added replace members of the same name (ignoring case).
    explicit ZipWriter(const QString &archivePath);

    // Password of the members added after this call; empty: not encrypted.
    void setPassword(const QString &password);
    void setArchiveComment(const QByteArray &comment);
    void setCompressionLevel(int level); // 1..9

    void addFile(const QString &sourcePath, const QString &memberName, const QByteArray &comment = {});
    void addBytes(const QString &memberName, const QByteArray &data, const QByteArray &comment = {},
                  const QDateTime &modified = QDateTime::currentDateTime());

    // Writes the archive. progress gets the percent written; cancel is
    // polled while writing. ArcOk when the new archive is in place.
    ArcCode write(const std::function<void(int percent)> &progress = {},
                  const std::atomic<bool> *cancel = nullptr);

private:
    struct Item {
        QString memberName;
        QString sourcePath;   // empty: data
        QByteArray data;
        QByteArray comment;
        QDateTime modified;
        QString password;
        int level = 9;
    };
    QString archivePath_;
    QString password_;
    QByteArray archiveComment_;
    bool setComment_ = false;
    int level_ = 9;
    QList<Item> items_;
};

} // namespace veltra
