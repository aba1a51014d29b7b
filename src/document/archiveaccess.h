#pragma once
// What the loader and the start-up need of the archive library and the zip
// reader. The program plugs in the real archive module; tests plug in fakes.

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

namespace veltra {

class ArchiveAccess {
public:
    virtual ~ArchiveAccess() = default;
    struct MemberInfo {
        qint64 size = 0;
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
        QByteArray comment;
    };
    // 0 = the archive opens.
    virtual int testOpen(const QString &archive) = 0;
    // Reads count bytes from offset of the member's text; 0 = all read.
    virtual int readRange(const QString &archive, const QString &member, const QString &options,
                          qint64 offset, qint64 count, char *buffer) = 0;
    // Size, date and comment of a member (name compared ignoring case, "\"
    // and "/" alike). 0 = found; other codes: 12 (archive), 2 (directory).
    virtual int lookupMember(const QString &archive, const QString &member, MemberInfo &info) = 0;
    // Unzips the member into dest (already sized to the member's size);
    // reports percent done; stops when cancel is set. Returns the number of
    // members written: 1 = success.
    virtual int unzipMember(const QString &archive, const QString &member, const QString &password,
                            char *dest, qint64 capacity, std::atomic<qint64> *filled,
                            const std::function<void(int percent)> &progress,
                            const std::atomic<bool> &cancel) = 0;
    // Whether the archive holds a member of this name (ignoring case).
    virtual bool hasMember(const QString &archive, const QString &member) = 0;
    // Unzips a small member (the page index) into bytes; 1 = success.
    virtual int unzipSmall(const QString &archive, const QString &member, const QString &password,
                           QByteArray &bytes) = 0;

    struct MemberEntry {
        QString name;        // as stored, with "/" between folders
        bool encrypted = false;
    };
    // The members of an archive in directory order; false when it cannot be read.
    virtual bool listMembers(const QString &archive, QList<MemberEntry> &members) = 0;
    // Whether password opens the member (verified beyond the one-byte check
    // of traditional zip encryption).
    virtual bool testPassword(const QString &archive, const QString &member, const QString &password) = 0;
};

} // namespace veltra
