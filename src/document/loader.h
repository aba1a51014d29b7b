#pragma once
// The report loader: one background thread that closes the previous report,
// opens the new one (a file, or a member of an archive), tries its page
// index, shows the first page as soon as it has it and scans on to the end
// while the user already reads.
//
// Every change to the window goes through LoaderHost::synchronize, which runs
// the step on the user-interface thread while the loader waits. The user
// interface never blocks on the loader: it holds it (counted) around its own
// page reads, and waits for it only in loops that keep events running.

#include "document/archiveaccess.h"
#include "document/pageindex.h"
#include "document/reportdocument.h"
#include "document/reportsource.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace veltra {

class MessageSink;

// The steps the loader runs on the user-interface thread.
class LoaderHost {
public:
    virtual ~LoaderHost() = default;
    // Runs step on the user-interface thread while the caller waits.
    virtual void synchronize(const std::function<void()> &step) = 0;
    virtual MessageSink &messages() = 0;

    virtual void closeReport() = 0;                            // the previous report
    virtual void showReportName(const QString &nameAndDate) = 0;
    virtual void showIdentity() = 0;                           // caption, description box
    virtual void showFirstPage() = 0;
    virtual void showPageCount(const QString &text, bool final) = 0;
    virtual void showUnzipPercent(int percent) = 0;
    virtual void goToPage(qint64 page) = 0;                    // a page asked for earlier
    virtual void goToLastPage() = 0;
    virtual void restorePageCommands() = 0;
    virtual void greyPageCommands() = 0;                       // a one-page report
    virtual void setPlainGreenBarEntries(bool enabled) = 0;
};

// Settings the loader reads.
struct LoaderSettings {
    IndexSettings index;
    SourceOptions source;
    QString currentArchivePassword;  // the zip component's password
};

class Loader {
public:
    Loader(ReportDocument &doc, LoaderHost &host, ArchiveAccess *archives = nullptr);
    ~Loader();

    LoaderSettings settings;

    // User-interface thread: hands the request to the running loader (which
    // stops its current load and takes it) or starts a loader.
    void StartLoader(const OpenRequest &request);

    // Pause the loader at its next safe point; counted. A release without a
    // hold does nothing.
    void holdLoader();
    void releaseLoader();

    // The user waits for the scan (last page): run the loader at top
    // priority until its current load ends.
    void setTimeCritical();

    // Whether a loader cycle is running.
    bool busy() const;
    // Stops a running load and waits for the thread, letting wait() pump
    // events (the host's synchronize must be served meanwhile).
    void stopAndWait(const std::function<void()> &pumpEvents);

    // Loader-thread body; public for tests that run it inline.
    void runCycles();

private:
    class Thread;
    bool OpenReportSource();
    void LookupArchiveMember();
    void UnzipMember();
    void ScanPlainReport();
    void ScanLoop();
    void UnzipProgress(int percent);
    void showFirstPageSync();
    void readIndex();
    void safePoint();
    void wakeHeld();

    ReportDocument &doc_;
    LoaderHost &host_;
    ArchiveAccess *archives_;
    std::unique_ptr<Thread> thread_;

    mutable std::mutex mutex_;
    bool running_ = false;      // a thread is inside runCycles
    std::atomic<bool> cancelUnzip_{false};
    int lastUnzipTenth_ = 0;
    ChunkScanResult scratch_;

    std::mutex holdMutex_;
    std::condition_variable holdCv_;
    int holds_ = 0;
};

} // namespace veltra
