#include "document/reportdocument.h"

#include <QFileInfo>

#include <bit>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace veltra {

namespace {

// Block and slot of the 0-based entry i: block k starts at entry
// (4,096 << k) - 4,096 and holds 4,096 << k entries.
struct Slot {
    int block;
    qint64 offset;
};

template<int BaseBits>
Slot slotOf(qint64 i)
{
    const quint64 j = quint64(i) + (quint64(1) << BaseBits);
    const int k = int(std::bit_width(j)) - 1 - BaseBits;
    return {k, qint64(j - (quint64(1) << (k + BaseBits)))};
}

} // namespace

PageTable::PageTable()
{
    for (auto &b : blocks_)
        b.store(nullptr, std::memory_order_relaxed);
}

PageTable::~PageTable()
{
    for (auto &b : blocks_)
        delete[] b.load(std::memory_order_relaxed);
}

void PageTable::clear()
{
    // Blocks stay allocated for the next report; only the count goes.
    count_.store(0, std::memory_order_release);
}

void PageTable::addPage(qint64 start, qint64 length)
{
    const qint64 n = count_.load(std::memory_order_relaxed);
    const Slot s = slotOf<BaseBits>(n);
    if (s.block >= MaxBlocks)
        return;
    PageEntry *b = blocks_[s.block].load(std::memory_order_acquire);
    if (!b) {
        b = new PageEntry[size_t(1) << (s.block + BaseBits)];
        blocks_[s.block].store(b, std::memory_order_release);
    }
    b[s.offset] = {start, length};
    count_.store(n + 1, std::memory_order_release);
}

PageEntry PageTable::page(qint64 n) const
{
    if (n < 1 || n > count())
        return {};
    const Slot s = slotOf<BaseBits>(n - 1);
    const PageEntry *b = blocks_[s.block].load(std::memory_order_acquire);
    return b ? b[s.offset] : PageEntry{};
}

ReportDocument::ReportDocument()
    : ReadBuffer(TextBufferSize, 0)
{
    reset();
}

ReportDocument::~ReportDocument() = default;

qint64 ReportDocument::readAt(qint64 offset, char *dst, qint64 count) const
{
    if (offset < 0 || count < 0)
        return -1;
    if (!SourceIsFile) {
        const qint64 size = std::min<qint64>(RptSize, RptStream.size());
        const qint64 n = std::clamp<qint64>(size - offset, 0, count);
        if (n > 0)
            memcpy(dst, RptStream.constData() + offset, size_t(n));
        return n;
    }
    const QFile *f = RptFileHandle.get();
    const int fd = (f && f->isOpen()) ? f->handle() : -1;
    if (fd < 0)
        return -1;
    qint64 done = 0;
    while (done < count) {
        const ssize_t got = ::pread(fd, dst + done, size_t(count - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return done > 0 ? done : -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void ReportDocument::reset()
{
    RptFileHandle.reset();
    RptIsArchived = false;
    DirectArchivePaging = false;
    DirectArchiveHandle = nullptr;
    FirstShownPage = 1;
    LocateOffset = -1;
    LocatedPage = 0;
    ReadChunkSize = DefaultReadChunkSize;
    UnzipRunning = false;
    ScanRunning = false;
}

void ReportDocument::postOpenRequest(const OpenRequest &request)
{
    std::lock_guard lock(requestMutex_);
    pending_ = request;
}

OpenRequest ReportDocument::takeOpenRequest()
{
    std::lock_guard lock(requestMutex_);
    OpenRequest r = pending_;
    pending_ = OpenRequest{};
    return r;
}

void ReportDocument::acceptOpenRequest(const OpenRequest &request)
{
    RptPath = request.PendingRptPath;
    RptArchiveName = request.PendingArchiveName;
    RptPassword = request.PendingPassword;
    RptIsArchived = request.RptIsArchived;
    RptDescription = request.RptDescription;
    FirstShownPage = request.FirstShownPage;
    LocateOffset = request.LocateOffset;
    LocatedPage = 0;
}

bool ReportDocument::openRequestPending() const
{
    std::lock_guard lock(requestMutex_);
    return !pending_.empty();
}

static QString two(int v)
{
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

void ReportDocument::setDateTime(int year, int month, int day, int hour, int minute, int second)
{
    const QString time = two(hour) + ':' + two(minute) + ':' + two(second);
    RptDateTime = two(month) + '/' + two(day) + '/' + QString::number(year) + ' ' + time;
    RptSortDateTime = QString::number(year) + '/' + two(month) + '/' + two(day) + ' ' + time;
}

QString ReportDocument::makeReportKey(const QString &fileName, const QString &sortDateTime, qint64 size)
{
    return fileName.toUpper() + ';' + sortDateTime + ';' + QString::number(size);
}

static QString baseName(const QString &path)
{
    int cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return path.mid(cut + 1);
}

void ReportDocument::buildReportKey()
{
    RptKey = makeReportKey(baseName(RptPath), RptSortDateTime, RptSize);
}

QString ReportDocument::caption() const
{
    return QStringLiteral("Veltra - ") + baseName(RptPath).toLower();
}

} // namespace veltra
