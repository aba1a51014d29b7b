#include "archive/archivelibrary.h"

#include "archive/pagecodec.h"
#include "archive/zipreader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <utility>

namespace veltra {

struct ArchiveHandle {
    std::mutex mutex;                 // one call at a time on this handle
    int users = 0;                    // calls inside (counted under the context's mutex)
    bool closing = false;             // closed while a call was inside: the last one frees it
    ZipArchive archive;
    qint64 walk = -1;                 // member last returned by first/next
    int walkLast = 0;
    // Ranged reads usually move forward through one member (page after
    // page): the open reader continues from where the last read ended.
    ZipMemberReader cursor;
    // Members whose password was verified, with that password.
    std::set<std::pair<qint64, QByteArray>> verified;
};

struct ArchiveContext {
    std::mutex mutex;
    std::set<ArchiveHandle *> handles;
    bool secondStart = false;
};

namespace {

void put16(quint8 *p, quint32 v)
{
    p[0] = quint8(v);
    p[1] = quint8(v >> 8);
}

void put32(quint8 *p, quint32 v)
{
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

quint32 clamp32(qint64 v)
{
    return v > qint64(0xFFFFFFFF) ? 0xFFFFFFFFu : quint32(v);
}

void fillEntry(ArchiveEntry &e, const ZipMemberInfo &m, qint64 nameLength)
{
    std::memset(e.bytes, 0, sizeof e.bytes);
    put32(e.bytes + 0, 0x02014b50);
    put16(e.bytes + 4, 20);       // made by
    put16(e.bytes + 6, 20);       // needed to extract
    put16(e.bytes + 8, m.encrypted ? 1 : 0);
    put16(e.bytes + 10, m.method);
    put16(e.bytes + 12, m.dosTime);
    put16(e.bytes + 14, m.dosDate);
    put32(e.bytes + 16, m.crc);
    put32(e.bytes + 20, clamp32(m.compressedSize));
    put32(e.bytes + 24, clamp32(m.size));
    put16(e.bytes + 28, quint32(std::min<qint64>(nameLength, 0xFFFF)));
    put16(e.bytes + 32, quint32(std::min<qint64>(m.comment.size(), 0xFFFF)));
}

// Copies text with a terminating zero into a buffer of capacity bytes.
void putText(char *buffer, int capacity, const QByteArray &text)
{
    if (!buffer || capacity <= 0)
        return;
    const qsizetype n = std::min<qsizetype>(text.size(), capacity - 1);
    std::memcpy(buffer, text.constData(), size_t(n));
    buffer[n] = '\0';
}

// A call's use of a handle: valid only while the handle is open in the
// context; a close during the call frees the handle when the call ends.
class HandleUse {
public:
    HandleUse(ArchiveContext *context, ArchiveHandle *handle) : context_(context)
    {
        {
            std::lock_guard lock(context->mutex);
            if (!handle || !context->handles.count(handle))
                return;
            handle_ = handle;
            ++handle_->users;
        }
        handle_->mutex.lock();
    }
    ~HandleUse()
    {
        if (!handle_)
            return;
        handle_->mutex.unlock();
        std::lock_guard lock(context_->mutex);
        if (--handle_->users == 0 && handle_->closing)
            delete handle_;
    }
    HandleUse(const HandleUse &) = delete;
    HandleUse &operator=(const HandleUse &) = delete;
    explicit operator bool() const { return handle_ != nullptr; }

private:
    ArchiveContext *context_;
    ArchiveHandle *handle_ = nullptr;
};

ArcCode returnMember(ArchiveHandle *h, ArchiveEntry *entry, char *name, char *comment, int commentCapacity)
{
    const qint64 count = h->archive.memberCount();
    if (h->walk >= count || h->walk > h->walkLast)
        return ArcNoMoreMembers;
    ZipMemberInfo info;
    const ArcCode code = h->archive.memberInfo(h->walk, info);
    if (code != ArcOk)
        return code;
    const QByteArray nameBytes = info.name.toUtf8();
    if (entry)
        fillEntry(*entry, info, nameBytes.size());
    putText(name, MemberNameBufferSize, nameBytes);
    putText(comment, commentCapacity, info.comment);
    return ArcOk;
}

} // namespace

ArcCode ArcStartUp(ArchiveContext **context, int reserved)
{
    if (!context)
        return ArcBadArgument;
    *context = new (std::nothrow) ArchiveContext;
    return *context ? ArcOk : ArcNoMemory;
}

ArcCode ArcSecondStart(ArchiveContext *context)
{
    if (!context)
        return ArcNotStarted;
    std::lock_guard lock(context->mutex);
    context->secondStart = true;
    return ArcOk;
}

ArcCode ArcShutDown(ArchiveContext **context)
{
    if (!context || !*context)
        return ArcNotStarted;
    ArchiveContext *c = *context;
    {
        std::lock_guard lock(c->mutex);
        for (ArchiveHandle *h : c->handles) {
            if (h->users == 0)
                delete h;
            else
                h->closing = true;
        }
        c->handles.clear();
    }
    delete c;
    *context = nullptr;
    return ArcOk;
}

ArcCode ArcOpen(ArchiveContext *context, const QString &archivePath, int mode, ArchiveHandle **handle)
{
    if (!context)
        return ArcNotStarted;
    if (!handle || mode != ArchiveOpenRead)
        return ArcBadArgument;
    *handle = nullptr;
    auto h = std::make_unique<ArchiveHandle>();
    const ArcCode code = h->archive.open(archivePath);
    if (code != ArcOk)
        return code;
    std::lock_guard lock(context->mutex);
    context->handles.insert(h.get());
    *handle = h.release();
    return ArcOk;
}

ArcCode ArcClose(ArchiveContext *context, ArchiveHandle **handle)
{
    if (!context)
        return ArcNotStarted;
    if (!handle)
        return ArcBadArgument;
    ArchiveHandle *h = *handle;
    std::lock_guard lock(context->mutex);
    if (!h || context->handles.erase(h) == 0)
        return ArcBadHandle;
    if (h->users == 0)
        delete h;
    else
        h->closing = true; // a call still inside frees it when it ends
    *handle = nullptr;
    return ArcOk;
}

ArcCode ArcFirstMember(ArchiveContext *context, ArchiveHandle *handle, ArchiveEntry *entry, char *name,
                       int firstIndex, int lastIndex, char *comment, int commentCapacity)
{
    if (!context)
        return ArcNotStarted;
    if (firstIndex < 0 || lastIndex < firstIndex)
        return ArcBadArgument;
    HandleUse use(context, handle);
    if (!use)
        return ArcBadHandle;
    handle->walk = firstIndex;
    handle->walkLast = lastIndex;
    return returnMember(handle, entry, name, comment, commentCapacity);
}

ArcCode ArcNextMember(ArchiveContext *context, ArchiveHandle *handle, ArchiveEntry *entry, char *name,
                      int firstIndex, int lastIndex, char *comment, int commentCapacity)
{
    if (!context)
        return ArcNotStarted;
    HandleUse use(context, handle);
    if (!use)
        return ArcBadHandle;
    if (handle->walk < 0)
        return ArcNoMoreMembers; // no first call yet
    ++handle->walk;
    return returnMember(handle, entry, name, comment, commentCapacity);
}

ArcCode ArcDecodeDate(quint16 dosDate, quint16 *month, quint16 *day, quint16 *year)
{
    if (!month || !day || !year)
        return ArcBadArgument;
    *year = quint16(1980 + (dosDate >> 9));
    *month = quint16((dosDate >> 5) & 0x0F);
    *day = quint16(dosDate & 0x1F);
    return ArcOk;
}

ArcCode ArcDecodeTime(quint16 dosTime, quint16 *hour, quint16 *minute, quint16 *second)
{
    if (!hour || !minute || !second)
        return ArcBadArgument;
    *hour = quint16(dosTime >> 11);
    *minute = quint16((dosTime >> 5) & 0x3F);
    *second = quint16((dosTime & 0x1F) * 2);
    return ArcOk;
}

ArcCode ArcExtractRange(ArchiveContext *context, ArchiveHandle *handle, char *buffer, qint64 offset,
                        qint64 count, const QString &member, const QString &options)
{
    if (!context)
        return ArcNotStarted;
    if (offset < 0 || count < 0 || (count > 0 && !buffer))
        return ArcBadArgument;
    HandleUse use(context, handle);
    if (!use)
        return ArcBadHandle;
    const qint64 index = handle->archive.findMember(member);
    if (index < 0)
        return ArcMemberNotFound;
    ZipMemberInfo info;
    ArcCode code = handle->archive.memberInfo(index, info);
    if (code != ArcOk)
        return code;
    if (info.size == 0)
        return ArcEmptyMember;
    if (offset > info.size || count > info.size - offset)
        return ArcRangeBeyondEnd;
    const QByteArray password = info.encrypted ? passwordBytes(passwordFromOptions(options)) : QByteArray();
    if (info.encrypted) {
        if (password.isEmpty())
            return ArcPasswordRequired;
        if (!handle->verified.count({index, password})) {
            code = verifyPassword(handle->archive, index, password);
            if (code != ArcOk)
                return code;
            handle->verified.insert({index, password});
        }
    }
    if (count == 0)
        return ArcOk;

    ZipMemberReader &cursor = handle->cursor;
    const bool reuse = cursor.isOpen() && cursor.index() == index && cursor.password() == password
                       && cursor.position() <= offset;
    if (!reuse) {
        code = cursor.open(handle->archive, index, password);
        if (code != ArcOk) {
            cursor.close();
            return code;
        }
    }
    code = cursor.skip(offset - cursor.position());
    if (code == ArcOk)
        code = cursor.read(buffer, count);
    // A read up to the member's end is checked against size and checksum.
    if (code == ArcOk && cursor.position() == info.size)
        code = cursor.finish();
    if (code != ArcOk || cursor.position() == info.size)
        cursor.close();
    return code;
}

ArcCode ArcNeedsPassword(ArchiveContext *context, const QString &archivePath)
{
    if (!context)
        return ArcNotStarted;
    ZipArchive archive;
    if (archive.open(archivePath) != ArcOk)
        return ArcOk;
    QList<ZipMemberInfo> members;
    if (archive.listMembers(members) != ArcOk)
        return ArcOk;
    for (const ZipMemberInfo &m : members)
        if (m.encrypted)
            return ArcPasswordRequired;
    return ArcOk;
}

ArcCode ArcExpandBlock(const char *source, qint64 sourceLength, char *destination, qint64 capacity)
{
    // The codec's results (31..37) do not overlap the library's codes.
    return ArcCode(ExpandPageBlock(source, sourceLength, destination, capacity));
}

} // namespace veltra
