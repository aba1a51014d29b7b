// Fuzz driver: zip archives from outside. The input is opened from memory
// (directory check, member list, member reads with and without a password,
// password verification) and from a file through the numbered archive calls
// (member walk, ranged reads, unzip into memory).
//
// Checks what callers rely on: a read never goes past the member's size, a
// successful unzip fills exactly the size the directory gives, and names and
// comments come back zero-terminated within their buffers.

#include "archive/archivelibrary.h"
#include "archive/zipreader.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace veltra;

namespace {

constexpr qint64 MaxRead = 1 << 20; // keep compression bombs cheap

void check(bool ok)
{
    if (!ok)
        abort();
}

void readMember(const ZipArchive &archive, qint64 index, const QByteArray &password)
{
    ZipMemberReader reader;
    if (reader.open(archive, index, password) != ArcOk)
        return;
    const qint64 size = reader.info().size;
    std::vector<char> buf(64 * 1024);
    qint64 done = 0;
    while (done < size && done < MaxRead) {
        const qint64 n = std::min<qint64>({qint64(buf.size()), size - done, MaxRead - done});
        if (reader.read(buf.data(), n) != ArcOk)
            return;
        done += n;
        check(reader.position() == done && done <= size);
    }
    if (done == size)
        reader.finish();
}

QString scratchFile()
{
    static const QString path =
        QDir::temp().filePath(QStringLiteral("fuzz_zipreader_%1.zip").arg(qint64(getpid())));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    ZipArchive archive;
    if (archive.openBuffer(bytes) == ArcOk) {
        QList<ZipMemberInfo> members;
        if (archive.listMembers(members) == ArcOk) {
            for (const ZipMemberInfo &m : members) {
                check(archive.findMember(m.name) >= 0);
                readMember(archive, m.index, {});
                readMember(archive, m.index, "pw");
                if (m.encrypted && m.size <= MaxRead)
                    verifyPassword(archive, m.index, "pw");
            }
        }
        archive.archiveComment();
    }

    // The same bytes as a file, through the numbered calls.
    const QString path = scratchFile();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(bytes);
    }
    ArchiveContext *context = nullptr;
    check(ArcStartUp(&context, 0) == ArcOk);
    ArchiveHandle *handle = nullptr;
    if (ArcOpen(context, path, ArchiveOpenRead, &handle) == ArcOk) {
        ArchiveEntry entry;
        char name[MemberNameBufferSize];
        char comment[64];
        std::memset(name, 0x55, sizeof name);
        int walked = 0;
        for (ArcCode code = ArcFirstMember(context, handle, &entry, name, 0, 65535, comment, sizeof comment);
             code == ArcOk && walked < 64;
             code = ArcNextMember(context, handle, &entry, name, 0, 65535, comment, sizeof comment), ++walked) {
            check(std::memchr(name, 0, sizeof name) != nullptr);
            check(std::memchr(comment, 0, sizeof comment) != nullptr);
            const qint64 memberSize = entry.uncompressedSize();
            if (memberSize == 0 || memberSize > MaxRead)
                continue;
            std::vector<char> buf(static_cast<size_t>(memberSize));
            const QString member = QString::fromUtf8(name);
            ArcExtractRange(context, handle, buf.data(), memberSize / 2, memberSize - memberSize / 2, member,
                            QStringLiteral("-o -s#pw#"));
            ArcExtractRange(context, handle, buf.data(), 0, 1, member, QString());
            std::atomic<qint64> filled{0};
            UnzipTarget target;
            target.dest = buf.data();
            target.capacity = qint64(buf.size());
            target.filled = &filled;
            if (unzipToMemory(path, member, QStringLiteral("pw"), target) == ArcOk)
                check(filled.load() == memberSize);
            check(filled.load() <= memberSize);
        }
        check(ArcClose(context, &handle) == ArcOk);
    }
    ArcNeedsPassword(context, path);
    check(ArcShutDown(&context) == ArcOk);
    return 0;
}
