#include "archive/ziparchiveaccess.h"

#include "archive/zipreader.h"

#include <QDateTime>
#include <QFileInfo>

namespace veltra {

namespace {

// Codes the loader turns into its two member lookup messages.
constexpr int LookupOpenFailed = 12;
constexpr int LookupNoMembers = 2;

QString optionText(const QString &password)
{
    return QStringLiteral("-o -s#") + password + QStringLiteral("#");
}

} // namespace

ZipArchiveAccess::ZipArchiveAccess()
{
    startCode_ = ArcStartUp(&context_, 0);
    if (startCode_ == ArcOk)
        ArcSecondStart(context_);
}

ZipArchiveAccess::~ZipArchiveAccess()
{
    if (pagingHandle_)
        ArcClose(context_, &pagingHandle_);
    if (context_)
        ArcShutDown(&context_);
}

void ZipArchiveAccess::setLast(ArcCode code) const
{
    std::lock_guard lock(lastMutex_);
    last_ = code;
}

ArcCode ZipArchiveAccess::lastCode() const
{
    std::lock_guard lock(lastMutex_);
    return last_;
}

void ZipArchiveAccess::releaseArchive()
{
    std::lock_guard lock(pagingMutex_);
    if (pagingHandle_)
        ArcClose(context_, &pagingHandle_);
    pagingArchive_.clear();
}

int ZipArchiveAccess::testOpen(const QString &archive)
{
    ArchiveHandle *handle = nullptr;
    const ArcCode code = ArcOpen(context_, archive, ArchiveOpenRead, &handle);
    if (code == ArcOk)
        ArcClose(context_, &handle);
    setLast(code);
    return code;
}

int ZipArchiveAccess::readRange(const QString &archive, const QString &member, const QString &options,
                                qint64 offset, qint64 count, char *buffer)
{
    std::lock_guard lock(pagingMutex_);
    // A handle kept from earlier reads is given up when the archive was
    // rewritten since (the archive builder may add to it).
    const QFileInfo fi(archive);
    const QString stamp = QString::number(fi.size()) + QLatin1Char(' ')
                          + QString::number(fi.lastModified().toMSecsSinceEpoch());
    if (pagingHandle_ && (pagingArchive_ != archive || pagingStamp_ != stamp))
        ArcClose(context_, &pagingHandle_);
    ArcCode code = ArcOk;
    if (!pagingHandle_) {
        code = ArcOpen(context_, archive, ArchiveOpenRead, &pagingHandle_);
        if (code != ArcOk) {
            setLast(code);
            return code;
        }
        pagingArchive_ = archive;
        pagingStamp_ = stamp;
    }
    code = ArcExtractRange(context_, pagingHandle_, buffer, offset, count, member, options);
    setLast(code);
    return code;
}

int ZipArchiveAccess::lookupMember(const QString &archive, const QString &member, MemberInfo &info)
{
    ArchiveHandle *handle = nullptr;
    ArcCode code = ArcOpen(context_, archive, ArchiveOpenRead, &handle);
    if (code != ArcOk) {
        setLast(code);
        return LookupOpenFailed;
    }
    ArchiveEntry entry;
    char name[MemberNameBufferSize];
    char comment[MemberCommentBufferSize];
    code = ArcFirstMember(context_, handle, &entry, name, 0, 65535, comment, MemberCommentBufferSize);
    if (code != ArcOk) {
        ArcClose(context_, &handle);
        setLast(code);
        return LookupNoMembers;
    }
    QString wanted = member;
    wanted.replace(QLatin1Char('/'), QLatin1Char('\\'));
    int result = ArcMemberNotFound;
    while (code == ArcOk) {
        QString found = QString::fromUtf8(name);
        found.replace(QLatin1Char('/'), QLatin1Char('\\'));
        if (found.compare(wanted, Qt::CaseInsensitive) == 0) {
            quint16 month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
            ArcDecodeDate(entry.dosDate(), &month, &day, &year);
            ArcDecodeTime(entry.dosTime(), &hour, &minute, &second);
            info.size = entry.uncompressedSize();
            if (entry.uncompressedSize() == 0xFFFFFFFFu) {
                // Beyond 4 GiB the record holds a mark; the reader has the size.
                ZipArchive za;
                ZipMemberInfo m;
                if (za.open(archive) == ArcOk && za.memberInfo(za.findMember(member), m) == ArcOk)
                    info.size = m.size;
            }
            info.year = year;
            info.month = month;
            info.day = day;
            info.hour = hour;
            info.minute = minute;
            info.second = second;
            info.comment = QByteArray(comment);
            result = 0;
            break;
        }
        code = ArcNextMember(context_, handle, &entry, name, 0, 65535, comment, MemberCommentBufferSize);
    }
    ArcClose(context_, &handle);
    setLast(result == 0 ? ArcOk : ArcMemberNotFound);
    return result;
}

int ZipArchiveAccess::unzipMember(const QString &archive, const QString &member, const QString &password,
                                  char *dest, qint64 capacity, std::atomic<qint64> *filled,
                                  const std::function<void(int percent)> &progress,
                                  const std::atomic<bool> &cancel)
{
    UnzipTarget target;
    target.dest = dest;
    target.capacity = capacity;
    target.filled = filled;
    target.progress = progress;
    target.cancel = &cancel;
    const ArcCode code = unzipToMemory(archive, member, password, target);
    setLast(code);
    return unzipResult(code);
}

bool ZipArchiveAccess::hasMember(const QString &archive, const QString &member)
{
    ZipArchive za;
    const ArcCode code = za.open(archive);
    setLast(code);
    return code == ArcOk && za.findMember(member) >= 0;
}

int ZipArchiveAccess::unzipSmall(const QString &archive, const QString &member, const QString &password,
                                 QByteArray &bytes)
{
    const ArcCode code = unzipToBytes(archive, member, password, bytes);
    setLast(code);
    return unzipResult(code);
}

bool ZipArchiveAccess::listMembers(const QString &archive, QList<MemberEntry> &members)
{
    members.clear();
    ZipArchive za;
    QList<ZipMemberInfo> infos;
    ArcCode code = za.open(archive);
    if (code == ArcOk)
        code = za.listMembers(infos);
    setLast(code);
    if (code != ArcOk)
        return false;
    for (const ZipMemberInfo &m : infos)
        members.append(MemberEntry{m.name, m.encrypted});
    return true;
}

bool ZipArchiveAccess::testPassword(const QString &archive, const QString &member, const QString &password)
{
    QString name = member;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    ArchiveHandle *handle = nullptr;
    ArcCode code = ArcOpen(context_, archive, ArchiveOpenRead, &handle);
    if (code == ArcOk) {
        char byte = 0;
        code = ArcExtractRange(context_, handle, &byte, 0, 1, name, optionText(password));
        ArcClose(context_, &handle);
    }
    if (code == ArcEmptyMember) {
        // Nothing to read, but the password can still be checked.
        ZipArchive za;
        code = za.open(archive);
        if (code == ArcOk)
            code = verifyPassword(za, za.findMember(name), passwordBytes(password));
    }
    setLast(code);
    return code == ArcOk;
}

} // namespace veltra
