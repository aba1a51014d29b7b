#include "document/loader.h"

#include "platform/messagesink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

using namespace veltra;

namespace {

// Runs the synchronized steps itself (under a lock, as the one user-interface
// thread would) and records what the window would have shown.
class RecordingHost : public LoaderHost {
public:
    explicit RecordingHost(ReportDocument &doc) : doc_(doc) {}
    void synchronize(const std::function<void()> &step) override
    {
        std::lock_guard lock(mutex);
        step();
    }
    MessageSink &messages() override { return sink; }
    void closeReport() override { ++closes; }
    void showReportName(const QString &) override {}
    void showIdentity() override { caption = doc_.caption(); }
    void showFirstPage() override { firstPageShown = doc_.FirstShownPage.load(); firstPageCount = doc_.pages.count(); }
    void showPageCount(const QString &text, bool final) override
    {
        countText = text;
        countFinal = final;
    }
    void showUnzipPercent(int) override {}
    void goToPage(qint64 page) override { wentTo = page; }
    void goToLastPage() override { wentTo = doc_.pages.count(); }
    void restorePageCommands() override {}
    void greyPageCommands() override { greyed = true; }
    void setPlainGreenBarEntries(bool enabled) override { greenBarEntries = enabled; }

    std::recursive_mutex mutex;
    ScriptedMessageSink sink;
    int closes = 0;
    QString caption;
    qint64 firstPageShown = 0, firstPageCount = 0, wentTo = 0;
    QString countText;
    bool countFinal = false, greyed = false, greenBarEntries = true;

private:
    ReportDocument &doc_;
};

QString writeReport(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path;
}

QByteArray formFeedReport(int pages)
{
    QByteArray data;
    for (int i = 1; i <= pages; ++i)
        data += "\fPAGE " + QByteArray::number(i) + "\r\n" + QByteArray(200, 'x') + "\r\n";
    return data;
}

OpenRequest plainRequest(const QString &path)
{
    OpenRequest r;
    r.PendingRptPath = path;
    return r;
}

void waitIdle(Loader &loader)
{
    for (int i = 0; i < 2000 && loader.busy(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_FALSE(loader.busy());
}

} // namespace

TEST(Loader, OpensScansAndWritesTheIndex)
{
    QTemporaryDir dir;
    const QString path = writeReport(dir, "daily.rpt", formFeedReport(500));
    ReportDocument doc;
    RecordingHost host(doc);
    Loader loader(doc, host);
    loader.settings.index.saveIndices = true;
    loader.StartLoader(plainRequest(path));
    waitIdle(loader);

    EXPECT_EQ(doc.pages.count(), 500);
    EXPECT_EQ(host.countText, "500");
    EXPECT_TRUE(host.countFinal);
    EXPECT_EQ(host.firstPageShown, 1);
    EXPECT_EQ(host.caption, "Veltra - daily.rpt");
    EXPECT_EQ(host.closes, 1);
    EXPECT_TRUE(QFile::exists(dir.filePath("daily.VTI")));

    // Reopened: the page table comes from the index, final at once.
    loader.StartLoader(plainRequest(path));
    waitIdle(loader);
    EXPECT_TRUE(doc.IndexValid);
    EXPECT_EQ(doc.PageCountText, "500");
    EXPECT_EQ(host.closes, 2);
}

TEST(Loader, SecondRequestWhileScanningTakesOver)
{
    QTemporaryDir dir;
    const QString big = writeReport(dir, "big.rpt", formFeedReport(40000));
    const QString small = writeReport(dir, "small.rpt", formFeedReport(3));
    ReportDocument doc;
    RecordingHost host(doc);
    Loader loader(doc, host);
    loader.StartLoader(plainRequest(big));
    loader.holdLoader();  // keep the first scan from finishing
    for (int i = 0; i < 400 && doc.pages.count() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    loader.StartLoader(plainRequest(small));
    loader.releaseLoader();
    waitIdle(loader);
    EXPECT_EQ(doc.RptPath, small);
    EXPECT_EQ(doc.pages.count(), 3);
    EXPECT_EQ(host.countText, "3");
}

TEST(Loader, PendingGoToPageIsShownWhenScannedOrTheLastPageAtTheEnd)
{
    QTemporaryDir dir;
    const QString path = writeReport(dir, "r.rpt", formFeedReport(300));
    for (qint64 wanted : {qint64(200), qint64(500)}) {
        ReportDocument doc;
        RecordingHost host(doc);
        Loader loader(doc, host);
        doc.PendingGoToPage = wanted;
        loader.StartLoader(plainRequest(path));
        waitIdle(loader);
        EXPECT_EQ(host.wentTo, std::min<qint64>(wanted, 300)) << wanted;
        EXPECT_EQ(doc.PendingGoToPage.load(), 0);
    }
}

TEST(Loader, FailuresAreReportedAndOnePageReportsGreyPaging)
{
    QTemporaryDir dir;
    ReportDocument doc;
    RecordingHost host(doc);
    Loader loader(doc, host);
    loader.StartLoader(plainRequest(dir.filePath("missing.rpt")));
    waitIdle(loader);
    ASSERT_EQ(host.sink.count(), 1);
    EXPECT_EQ(host.sink.texts()[0], "Could not open file 01\r\n" + dir.filePath("missing.rpt"));
    EXPECT_EQ(host.sink.messages()[0].kind, MessageKind::ErrorAbort);

    loader.StartLoader(plainRequest(writeReport(dir, "one.rpt", "1ONLY PAGE\r\n")));
    waitIdle(loader);
    EXPECT_TRUE(host.greyed);
}

TEST(Loader, HoldPausesAtASafePointAndReleasesAreCounted)
{
    QTemporaryDir dir;
    const QString path = writeReport(dir, "r.rpt", formFeedReport(20000));
    ReportDocument doc;
    RecordingHost host(doc);
    Loader loader(doc, host);
    loader.holdLoader();
    loader.holdLoader();
    loader.StartLoader(plainRequest(path));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(doc.pages.count(), 0);
    loader.releaseLoader();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(doc.pages.count(), 0);  // one hold still outstanding
    loader.releaseLoader();
    loader.releaseLoader();          // a release without a hold does nothing
    waitIdle(loader);
    EXPECT_EQ(doc.pages.count(), 20000);
}
