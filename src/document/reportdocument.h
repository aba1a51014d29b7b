#pragma once
// The report document: the one record of the open report.
//
// The loader thread writes the identity, the page table and the scan state;
// the user-interface thread reads them while a load runs. Offsets, lengths,
// sizes and page counts are 64-bit: reports over 2 GiB exist.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace veltra {

class MessageSink;

enum ReportType : int {
    RptTypeUnknown = 0,
    RptTypeCarriageControl = 1,
    RptTypeFormFeed = 2,
    RptTypePlain = 3,
    RptTypeCompressed = 4,
};

// Sizes shared by every page-text routine.
constexpr int TextBufferSize = 64001;        // 64,000 bytes of text and a terminating zero
constexpr int MaxPageText = 64000;
constexpr int DefaultReadChunkSize = 30000;
constexpr int PlainReadChunkSize = 10000;
constexpr int MaxPagesPerChunk = 5000;
constexpr int DetectionLength = 60000;

struct PageEntry {
    qint64 start = 0;
    qint64 length = 0;
};

// Append-only page table that other threads may read while the loader
// appends. Entries live in blocks that never move once published: block k
// holds 4,096 << k entries, so a small directory of block pointers covers any
// report and a new block is allocated only when the table doubles. The writer
// fills an entry, then publishes the count with release order; a reader loads
// the count with acquire order and uses only entries below it, so it never
// sees a half-written entry and never races with an append.
class PageTable {
public:
    PageTable();
    ~PageTable();
    PageTable(const PageTable &) = delete;
    PageTable &operator=(const PageTable &) = delete;

    // Loader side (one writer at a time).
    void clear();
    void addPage(qint64 start, qint64 length);

    // Any thread. Page numbers are 1-based; a page outside 1..count() is a
    // caller error and yields an empty entry.
    qint64 count() const { return count_.load(std::memory_order_acquire); }
    PageEntry page(qint64 n) const;
    qint64 pageStart(qint64 n) const { return page(n).start; }
    qint64 pageLength(qint64 n) const { return page(n).length; }

private:
    static constexpr int BaseBits = 12;   // block 0 holds 4,096 entries
    static constexpr int MaxBlocks = 40;  // 2^52 entries in all
    std::array<std::atomic<PageEntry *>, MaxBlocks> blocks_{};
    std::atomic<qint64> count_{0};
};

// The open request: written whole by the user-interface thread
// (postOpenRequest) and taken whole by the loader at the start of a cycle
// (takeOpenRequest), both under one mutex, so a request made while the loader
// takes the previous one is neither lost nor half-read. It carries everything
// the requester decides, including where to show the report first: setting
// those on the document directly would let a scan of the previous report
// still running consume them.
struct OpenRequest {
    QString PendingRptPath;       // report path or member name; empty = none
    QString PendingArchiveName;   // archive path for an archived request
    QString PendingPassword;      // option text "-o -s#" + password + "#"
    bool RptIsArchived = false;
    QString RptDescription;       // empty when the requester gives none
    qint64 FirstShownPage = 1;    // 0: wait for the page holding LocateOffset
    qint64 LocateOffset = -1;
    bool empty() const { return PendingRptPath.isEmpty(); }
};

// Hook around page reads: the viewer greys its page commands while a page
// is read and restores them after.
struct PageReadHold {
    std::function<void()> begin;
    std::function<void()> end;
};

class ReportDocument {
public:
    ReportDocument();
    ~ReportDocument();
    ReportDocument(const ReportDocument &) = delete;
    ReportDocument &operator=(const ReportDocument &) = delete;

    // ---- Source and identity
    QString RptPath;
    bool RptIsArchived = false;
    QString RptArchiveName;
    QString RptPassword;
    ReportType RptType = RptTypeUnknown;
    qint64 RptSize = 0;
    QString RptDateTime;        // MM/DD/YYYY hh:mm:ss
    QString RptSortDateTime;    // YYYY/MM/DD hh:mm:ss
    QString RptKey;
    QString RptDescription;
    QByteArray RptMemberComment;

    // ---- Page table
    PageTable pages;
    QString PageCountText = QStringLiteral("???");
    qint64 PageCount() const { return pages.count(); }

    // ---- View position
    std::atomic<qint64> CurrPage{0};
    std::atomic<qint64> FirstShownPage{1};
    std::atomic<qint64> LocateOffset{-1};
    // Set when the scan found the page of LocateOffset: the page to place the
    // hit on when it is shown, and Repeat Find may start from it.
    std::atomic<qint64> LocatedPage{0};
    std::function<void(qint64 page)> onLocated;

    // ---- Text source
    bool SourceIsFile = true;
    std::unique_ptr<QFile> RptFileHandle;      // open plain report
    QByteArray RptStream;                      // unzipped member, sized RptSize
    std::atomic<qint64> RptStreamFilled{0};    // bytes of RptStream written so far
    bool DirectArchivePaging = false;
    void *DirectArchiveHandle = nullptr;       // archive kept open for single pages
    std::function<int(char *buffer, qint64 offset, qint64 count)> directArchiveRead;
    std::vector<char> ReadBuffer;              // TextBufferSize bytes
    int ReadChunkSize = DefaultReadChunkSize;
    std::array<char, 3> PageSeparator{{'R', '%', 'P'}};
    QString CompressionVersion;                // "1A" or "1B"
    // Expands one compressed page block into dst (capacity bytes, zero
    // filled by the caller); non-zero on failure.
    std::function<int(const char *src, qint64 len, char *dst, qint64 capacity)> expandBlock;

    // ---- Scan state
    qint64 ScanOffset = 0;
    qint64 NextScanOffset = 0;
    qint64 ScanPageCounter = 0;
    bool ScanAtEnd = false;
    qint64 ChunksPerPass = 99999999;

    // ---- Load control (shared between threads)
    std::atomic<bool> LoadStop{false};
    std::atomic<bool> UnzipRunning{false};
    std::atomic<bool> ScanRunning{false};
    std::atomic<bool> FirstPagePending{false};
    std::atomic<qint64> PendingGoToPage{0};
    std::atomic<bool> ShowCountWhileScanning{false};
    std::atomic<bool> IndexValid{false};
    QString UnzipPurpose;

    // ---- Page index names and header lines
    QString IndexFileName;
    QString IndexDir;
    QString IndexHeaderName, IndexHeaderDateTime, IndexHeaderSize, IndexHeaderType;

    // ---- Open request hand-over
    void postOpenRequest(const OpenRequest &request);
    OpenRequest takeOpenRequest();
    bool openRequestPending() const;
    // Loader side: the identity fields and view position of a taken request.
    void acceptOpenRequest(const OpenRequest &request);

    // ---- Services
    MessageSink *messages = nullptr;
    PageReadHold readHold;

    // Reads up to count bytes at offset from the plain file or the unzipped
    // member into dst. Safe to call from the loader and the user-interface
    // thread at once: the file is read with positional reads (no shared file
    // position) and the member only below its fixed size. Returns the bytes
    // read (short at the end), or -1 when the source is not open.
    qint64 readAt(qint64 offset, char *dst, qint64 count) const;

    // Marks the document empty (no handles, not archived, first page 1,
    // no locate offset, default chunk size).
    void reset();

    // Identity helpers: the date-time texts from a moment, the report key
    // and the window caption.
    void setDateTime(int year, int month, int day, int hour, int minute, int second);
    static QString makeReportKey(const QString &fileName, const QString &sortDateTime, qint64 size);
    void buildReportKey();
    QString caption() const;

private:
    mutable std::mutex requestMutex_;
    OpenRequest pending_;
};

} // namespace veltra
