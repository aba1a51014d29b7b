#include "document/loader.h"

#include "document/scanner.h"
#include "platform/messagesink.h"
#include "util/pathutil.h"

#include <QCoreApplication>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>

#include <chrono>
#include <thread>

namespace veltra {

namespace {

constexpr qint64 LargeMember = 999999;  // members above this are scanned while unzipping
constexpr int PauseEveryMs = 50;         // scan this long, then let the window breathe
constexpr int PauseMs = 5;

} // namespace

class Loader::Thread : public QThread {
public:
    explicit Thread(Loader &loader) : loader_(loader) {}
    void run() override { loader_.runCycles(); }

private:
    Loader &loader_;
};

Loader::Loader(ReportDocument &doc, LoaderHost &host, ArchiveAccess *archives)
    : doc_(doc), host_(host), archives_(archives)
{
}

Loader::~Loader()
{
    doc_.LoadStop = true;
    cancelUnzip_ = true;
    wakeHeld();
    if (thread_)
        thread_->wait();
}

void Loader::StartLoader(const OpenRequest &request)
{
    std::lock_guard lock(mutex_);
    doc_.postOpenRequest(request);
    if (running_) {
        // The running loader finds the request when its current cycle ends.
        if (doc_.UnzipRunning)
            cancelUnzip_ = true;
        doc_.LoadStop = true;
        wakeHeld();
        return;
    }
    if (thread_)
        thread_->wait();  // a finished thread: make sure it has left run()
    running_ = true;
    thread_ = std::make_unique<Thread>(*this);
    thread_->start(QThread::LowPriority);
}

bool Loader::busy() const
{
    std::lock_guard lock(mutex_);
    return running_;
}

void Loader::stopAndWait(const std::function<void()> &pumpEvents)
{
    cancelUnzip_ = true;
    doc_.LoadStop = true;
    wakeHeld();
    while (busy()) {
        if (pumpEvents)
            pumpEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (thread_)
        thread_->wait();
}

void Loader::setTimeCritical()
{
    std::lock_guard lock(mutex_);
    if (running_ && thread_)
        thread_->setPriority(QThread::TimeCriticalPriority);
}

void Loader::holdLoader()
{
    std::lock_guard lock(holdMutex_);
    ++holds_;
}

void Loader::releaseLoader()
{
    {
        std::lock_guard lock(holdMutex_);
        if (holds_ == 0)
            return;
        --holds_;
    }
    holdCv_.notify_all();
}

void Loader::wakeHeld()
{
    // A held loader waits at a safe point; a stop must reach it there.
    { std::lock_guard lock(holdMutex_); }
    holdCv_.notify_all();
}

void Loader::safePoint()
{
    std::unique_lock lock(holdMutex_);
    holdCv_.wait(lock, [this] { return holds_ == 0 || doc_.LoadStop.load(); });
}

void Loader::runCycles()
{
    for (;;) {
        OpenRequest request;
        {
            // The decision to end is taken under the same lock StartLoader
            // uses, so a request made at this moment is never lost.
            std::lock_guard lock(mutex_);
            request = doc_.takeOpenRequest();
            if (request.empty()) {
                doc_.LoadStop = false;
                running_ = false;
                return;
            }
        }
        // A wait for a page of the previous report may have raised the
        // priority; every load starts below normal again.
        if (thread_ && QThread::currentThread() == thread_.get())
            QThread::currentThread()->setPriority(QThread::LowPriority);
        host_.synchronize([this] { host_.closeReport(); });
        doc_.acceptOpenRequest(request);
        doc_.LoadStop = false;
        cancelUnzip_ = false;
        host_.synchronize([this] { host_.showReportName(doc_.RptPath); });

        if (!OpenReportSource())
            continue;
        if (doc_.RptIsArchived) {
            doc_.SourceIsFile = false;
            doc_.UnzipRunning = true;
            UnzipMember();
            doc_.UnzipRunning = false;
        } else {
            doc_.SourceIsFile = true;
            if (doc_.RptFileHandle && doc_.RptFileHandle->isOpen()) {
                doc_.ScanRunning = true;
                ScanPlainReport();
                doc_.ScanRunning = false;
            }
        }
        if (!doc_.openRequestPending() && doc_.PageCountText == QLatin1String("1"))
            host_.synchronize([this] { host_.greyPageCommands(); });
    }
}

bool Loader::OpenReportSource()
{
    MessageSink &msg = host_.messages();
    doc_.pages.clear();
    doc_.PageCountText = QStringLiteral("???");
    doc_.IndexValid = false;
    doc_.DirectArchivePaging = false;
    doc_.RptStream.clear();
    doc_.RptStreamFilled = 0;

    if (!doc_.RptIsArchived) {
        QString error;
        if (!OpenPlainReport(doc_, doc_.RptPath, settings.source, &error)) {
            host_.synchronize([&] { msg.errorAbort(error); });
            return false;
        }
    } else {
        if (!archives_) {
            host_.synchronize([&] {
                msg.errorAbort(QStringLiteral("Could not open archived file\r\n") + doc_.RptArchiveName
                               + QStringLiteral(" RC = 1"));
            });
            return false;
        }
        int rc = archives_->testOpen(doc_.RptArchiveName);
        if (rc != 0) {
            host_.synchronize([&] {
                msg.errorAbort(QStringLiteral("Could not open archived file\r\n") + doc_.RptArchiveName
                               + QStringLiteral(" RC = ") + QString::number(rc));
            });
            return false;
        }
        LookupArchiveMember();
        // The first chunk decides the type; the member itself comes later.
        std::vector<char> first(TextBufferSize, 0);
        const qint64 want = std::min<qint64>(DefaultReadChunkSize, doc_.RptSize);
        rc = want > 0 ? archives_->readRange(doc_.RptArchiveName, doc_.RptPath, doc_.RptPassword, 0, want,
                                             first.data())
                      : 0;
        if (rc != 0) {
            host_.synchronize([&] {
                msg.errorAbort(QStringLiteral("Archive Error 03 RC = ") + QString::number(rc));
            });
            return false;
        }
        doc_.SourceIsFile = false;
        doc_.RptFileHandle.reset();
        doc_.RptStream = QByteArray(first.data(), want);
        DetectSourceType(doc_, settings.source);
        doc_.RptStream.clear();
        doc_.buildReportKey();
    }

    const bool plainType = doc_.RptType == RptTypePlain;
    host_.synchronize([&] { host_.setPlainGreenBarEntries(!(plainType && doc_.ReadChunkSize > PlainReadChunkSize)); });
    BuildIndexNames(doc_, settings.index);
    BuildIndexHeader(doc_);
    if (doc_.RptDescription.isEmpty()) {
        QString d = doc_.RptPath;
        shortenPath(d, 35);
        doc_.RptDescription = d;
    }
    host_.synchronize([this] { host_.showIdentity(); });
    doc_.pages.clear();
    doc_.PageCountText = QStringLiteral("???");
    readIndex();
    return true;
}

void Loader::readIndex()
{
    doc_.IndexValid = false;
    doc_.DirectArchivePaging = false;
    doc_.FirstPagePending = true;
    if (!settings.index.useIndices)
        return;
    if (!doc_.RptIsArchived) {
        ReadPlainIndex(doc_, settings.index);
    } else if (archives_ && archives_->hasMember(doc_.RptArchiveName, doc_.IndexFileName)) {
        QByteArray bytes;
        const int rc = archives_->unzipSmall(doc_.RptArchiveName, doc_.IndexFileName,
                                             settings.currentArchivePassword, bytes);
        if (rc != 1) {
            host_.synchronize([&] {
                host_.messages().show({MessageKind::ErrorOk, QStringLiteral("UnZipToStream Error"),
                                       QStringLiteral("RIFile to unzip not found ") + doc_.IndexFileName
                                           + QStringLiteral("\r\nUZRC:  ") + QString::number(rc),
                                       {}});
            });
            return;
        }
        if (ApplyIndexLines(doc_, IndexLines(bytes))) {
            doc_.IndexValid = true;
            doc_.PageCountText = QString::number(doc_.pages.count());
            // Pages come straight out of the archive until the member is in.
            const QString archive = doc_.RptArchiveName, member = doc_.RptPath, options = doc_.RptPassword;
            ArchiveAccess *a = archives_;
            if (const int code = a->testOpen(archive); code != 0) {
                host_.synchronize([&] {
                    host_.messages().errorAbort(QStringLiteral("Archive Error 22 RC = ") + QString::number(code));
                });
                doc_.IndexValid = false;
                doc_.pages.clear();
                doc_.PageCountText = QStringLiteral("???");
                return;
            }
            doc_.directArchiveRead = [a, archive, member, options](char *buf, qint64 off, qint64 n) {
                return a->readRange(archive, member, options, off, n, buf);
            };
            doc_.DirectArchivePaging = true;
        }
    }
    if (doc_.IndexValid) {
        const QString count = doc_.PageCountText;
        host_.synchronize([&] { host_.showPageCount(count, true); });
        if (doc_.FirstPagePending)
            showFirstPageSync();
    }
}

void Loader::LookupArchiveMember()
{
    ArchiveAccess::MemberInfo info;
    const int rc = archives_->lookupMember(doc_.RptArchiveName, doc_.RptPath, info);
    if (rc == 12 || rc == 2) {
        host_.synchronize([&] {
            host_.messages().errorAbort(QStringLiteral("Archive Error %1 RC = %2")
                                            .arg(rc == 12 ? QStringLiteral("12") : QStringLiteral("02"))
                                            .arg(rc));
        });
        return;
    }
    if (rc != 0)
        return; // not found: size and date stay
    doc_.RptSize = info.size;
    doc_.setDateTime(info.year, info.month, info.day, info.hour, info.minute, info.second);
    doc_.RptMemberComment = info.comment;
}

void Loader::UnzipMember()
{
    doc_.RptStream = QByteArray(doc_.RptSize, '\0');
    doc_.RptStreamFilled = 0;
    doc_.NextScanOffset = 0;
    doc_.ScanPageCounter = 0;
    doc_.UnzipPurpose = QStringLiteral("U");
    lastUnzipTenth_ = 0;
    doc_.ChunksPerPass = 99999999;
    const int result = archives_->unzipMember(
        doc_.RptArchiveName, doc_.RptPath, settings.currentArchivePassword, doc_.RptStream.data(),
        doc_.RptStream.size(), &doc_.RptStreamFilled, [this](int p) { UnzipProgress(p); }, cancelUnzip_);
    if (doc_.LoadStop)
        return;
    if (result != 1) {
        host_.synchronize([&] {
            host_.messages().show({MessageKind::ErrorOk, QStringLiteral("UnZipToStream Error"),
                                   QStringLiteral("VTFile to unzip not found ") + doc_.RptPath
                                       + QStringLiteral("\r\nUZRC:  ") + QString::number(result),
                                   {}});
        });
        return;
    }
    host_.synchronize([this] { host_.showUnzipPercent(100); });
    doc_.ChunksPerPass = 99999999;
    if (!doc_.IndexValid) {
        ScanLoop();
    } else {
        if (doc_.FirstPagePending)
            showFirstPageSync();
        host_.synchronize([this] { host_.restorePageCommands(); });
    }
    if (!doc_.LoadStop)
        doc_.DirectArchivePaging = false;
}

void Loader::UnzipProgress(int percent)
{
    if (doc_.UnzipPurpose != QLatin1String("U") || doc_.RptSize <= LargeMember || percent <= 9)
        return;
    host_.synchronize([&] { host_.showUnzipPercent(percent); });
    doc_.ChunksPerPass = 1;
    const int tenth = percent / 10;
    if (percent >= 100 || tenth <= lastUnzipTenth_)
        return;
    lastUnzipTenth_ = tenth;
    if (!doc_.IndexValid)
        ScanLoop();
    else if (doc_.FirstPagePending)
        showFirstPageSync();
}

void Loader::ScanPlainReport()
{
    doc_.NextScanOffset = 0;
    doc_.ScanPageCounter = 0;
    doc_.ChunksPerPass = 99999999;
    if (!doc_.IndexValid)
        ScanLoop();
    else if (doc_.FirstPagePending)
        showFirstPageSync();
}

void Loader::showFirstPageSync()
{
    host_.synchronize([this] {
        if (doc_.FirstShownPage == 0)
            return; // waiting for the page of the locate offset
        host_.showFirstPage();
        doc_.FirstPagePending = false;
    });
}

void Loader::ScanLoop()
{
    doc_.ScanAtEnd = false;
    // During an unzip the scan may go only as far as the bytes already in.
    const bool fromMemory = !doc_.SourceIsFile;
    qint64 n = 0;
    QElapsedTimer sinceBreak;
    sinceBreak.start();
    for (;;) {
        safePoint();
        if (doc_.LoadStop)
            return;
        if (fromMemory && doc_.NextScanOffset >= 0 && doc_.RptStreamFilled.load() < doc_.RptSize
            && doc_.NextScanOffset + doc_.ReadChunkSize >= doc_.RptStreamFilled.load())
            break; // not unzipped that far yet: the next progress step goes on
        if (doc_.NextScanOffset < 0) {
            doc_.ScanAtEnd = true;
        } else {
            ScanNextChunk(doc_, scratch_);
        }
        if (doc_.LoadStop)
            return;
        if (doc_.ShowCountWhileScanning) {
            const QString count = QString::number(doc_.pages.count());
            host_.synchronize([&] { host_.showPageCount(count, false); });
        }
        if (doc_.FirstPagePending)
            showFirstPageSync();
        const qint64 wanted = doc_.PendingGoToPage.load();
        if (wanted != 0) {
            doc_.ShowCountWhileScanning = true;
            // The user waits for this page: scan at top priority till it is in.
            if (thread_ && QThread::currentThread() == thread_.get())
                QThread::currentThread()->setPriority(QThread::TimeCriticalPriority);
            if (doc_.pages.count() >= wanted) {
                if (thread_ && QThread::currentThread() == thread_.get())
                    QThread::currentThread()->setPriority(QThread::LowPriority);
                host_.synchronize([&] {
                    host_.goToPage(wanted);
                    doc_.PendingGoToPage = 0;
                    doc_.ShowCountWhileScanning = false;
                    host_.showPageCount(doc_.PageCountText, false);
                });
            }
        }
        // The pause lets the window breathe without capping the scan speed:
        // a short sleep after every 50 ms of scanning, not after every chunk.
        if (sinceBreak.elapsed() >= PauseEveryMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(PauseMs));
            sinceBreak.restart();
        }
        if (doc_.ScanAtEnd)
            break;
        if (++n >= doc_.ChunksPerPass)
            break;
    }
    if (doc_.ScanAtEnd) {
        doc_.PageCountText = QString::number(doc_.pages.count());
        const QString count = doc_.PageCountText;
        host_.synchronize([&] { host_.showPageCount(count, true); });
        if (doc_.PendingGoToPage.load() != 0) {
            if (thread_ && QThread::currentThread() == thread_.get())
                QThread::currentThread()->setPriority(QThread::LowPriority);
            host_.synchronize([this] {
                host_.goToLastPage();
                doc_.PendingGoToPage = 0;
                doc_.ShowCountWhileScanning = false;
            });
        }
        if (!doc_.IndexValid && !doc_.RptIsArchived && doc_.RptType != RptTypePlain)
            WriteIndex(doc_, settings.index);
    } else {
        doc_.PageCountText = QStringLiteral("???");
    }
}

} // namespace veltra
