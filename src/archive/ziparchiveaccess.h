#pragma once
// The archive access the loader and the command line use, on the archive
// library (open, member walk, date decoding, ranged reads with the option
// text, password test) and the zip reader (unzip into memory).

#include "archive/archivelibrary.h"
#include "document/archiveaccess.h"

#include <QString>

#include <mutex>

namespace veltra {

class ZipArchiveAccess : public ArchiveAccess {
public:
    // Starts the archive library; startCode() says whether it is ready.
    ZipArchiveAccess();
    ~ZipArchiveAccess() override;
    ZipArchiveAccess(const ZipArchiveAccess &) = delete;
    ZipArchiveAccess &operator=(const ZipArchiveAccess &) = delete;

    ArcCode startCode() const { return startCode_; }
    ArchiveContext *context() const { return context_; }

    int testOpen(const QString &archive) override;
    // Keeps the archive open between calls, so pages read one after the
    // other continue where the last read ended.
    int readRange(const QString &archive, const QString &member, const QString &options, qint64 offset,
                  qint64 count, char *buffer) override;
    // 0 = found; 12 = the archive cannot be opened; 2 = it has no members;
    // ArcMemberNotFound when no member has that name.
    int lookupMember(const QString &archive, const QString &member, MemberInfo &info) override;
    // 1 = the member is in; 0 = no member of that name; otherwise minus the
    // archive code (-10 wrong password, -18 cancelled, ...).
    int unzipMember(const QString &archive, const QString &member, const QString &password, char *dest,
                    qint64 capacity, std::atomic<qint64> *filled,
                    const std::function<void(int percent)> &progress,
                    const std::atomic<bool> &cancel) override;
    bool hasMember(const QString &archive, const QString &member) override;
    int unzipSmall(const QString &archive, const QString &member, const QString &password,
                   QByteArray &bytes) override;
    bool listMembers(const QString &archive, QList<MemberEntry> &members) override;
    bool testPassword(const QString &archive, const QString &member, const QString &password) override;

    // Closes the archive kept open for ranged reads (when the report closes).
    void releaseArchive();

    // The archive code of the last call (for messages and tests).
    ArcCode lastCode() const;

private:
    void setLast(ArcCode code) const;

    ArchiveContext *context_ = nullptr;
    ArcCode startCode_ = ArcNotStarted;
    std::mutex pagingMutex_;          // the archive kept open for ranged reads
    QString pagingArchive_;
    QString pagingStamp_;             // size and time of the archive when opened
    ArchiveHandle *pagingHandle_ = nullptr;
    mutable std::mutex lastMutex_;
    mutable ArcCode last_ = ArcOk;
};

} // namespace veltra
