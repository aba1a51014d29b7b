// The loader opening reports inside real archives through ZipArchiveAccess:
// the first chunk read with the option text, the member lookup, the unzip
// with its percent steps, and the messages for a wrong password.

#include "archive/ziparchiveaccess.h"
#include "document/loader.h"
#include "document/reportsource.h"
#include "platform/messagesink.h"

#include "ziptestutil.h"

#include <chrono>
#include <mutex>
#include <thread>

using namespace veltra;
using namespace ziptest;

namespace {

class Host : public LoaderHost {
public:
    void synchronize(const std::function<void()> &step) override
    {
        std::lock_guard lock(mutex);
        step();
    }
    MessageSink &messages() override { return sink; }
    void closeReport() override {}
    void showReportName(const QString &) override {}
    void showIdentity() override {}
    void showFirstPage() override { firstPage = true; }
    void showPageCount(const QString &text, bool final) override
    {
        countText = text;
        countFinal = final;
    }
    void showUnzipPercent(int percent) override { percents.push_back(percent); }
    void goToPage(qint64) override {}
    void goToLastPage() override {}
    void restorePageCommands() override {}
    void greyPageCommands() override {}
    void setPlainGreenBarEntries(bool) override {}

    std::recursive_mutex mutex;
    ScriptedMessageSink sink;
    bool firstPage = false;
    QString countText;
    bool countFinal = false;
    std::vector<int> percents;
};

QByteArray formFeedReport(int pages)
{
    QByteArray data;
    for (int i = 1; i <= pages; ++i)
        data += "\fPAGE " + QByteArray::number(i) + "\r\n" + reportText(300, quint32(i)) + "\r\n";
    return data;
}

void waitIdle(Loader &loader)
{
    for (int i = 0; i < 4000 && loader.busy(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_FALSE(loader.busy());
}

OpenRequest archivedRequest(const QString &archive, const QString &member, const QString &password)
{
    OpenRequest r;
    r.RptIsArchived = true;
    r.PendingArchiveName = archive;
    r.PendingRptPath = member;
    r.PendingPassword = QStringLiteral("-o -s#") + password + QStringLiteral("#");
    return r;
}

TEST(ArchiveLoad, LargeEncryptedMemberLoadsLikeThePlainFile)
{
    QTemporaryDir dir;
    const QByteArray text = formFeedReport(6000); // about 2 MB: scanned while it unzips
    writeFile(dir.filePath(QStringLiteral("DAILY.RPT")), text);
    const QString zip = infoZip(dir.path(), QStringLiteral("day.vta"), {"-P", "pw"}, {QStringLiteral("DAILY.RPT")});

    ReportDocument plain;
    QString error;
    ASSERT_TRUE(OpenPlainReport(plain, dir.filePath(QStringLiteral("DAILY.RPT")), {}, &error));
    ScanWholeReport(plain);

    ZipArchiveAccess access;
    ReportDocument doc;
    Host host;
    Loader loader(doc, host, &access);
    loader.settings.currentArchivePassword = QStringLiteral("pw");
    loader.StartLoader(archivedRequest(zip, QStringLiteral("daily.rpt"), QStringLiteral("pw")));
    waitIdle(loader);

    EXPECT_TRUE(host.sink.texts().isEmpty()) << qPrintable(host.sink.texts().join(" | "));
    EXPECT_EQ(doc.RptSize, text.size());
    EXPECT_EQ(doc.pages.count(), plain.pages.count());
    EXPECT_EQ(host.countText, QString::number(plain.pages.count()));
    EXPECT_TRUE(host.firstPage);
    // Percent steps came during the unzip, then 100.
    ASSERT_FALSE(host.percents.empty());
    EXPECT_EQ(host.percents.back(), 100);
    EXPECT_GT(host.percents.size(), 5u);
}

TEST(ArchiveLoad, WrongPasswordStopsWithTheArchiveCode)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("R.RPT")), formFeedReport(50));
    const QString zip = infoZip(dir.path(), QStringLiteral("r.zip"), {"-P", "right"}, {QStringLiteral("R.RPT")});
    ZipArchiveAccess access;
    ReportDocument doc;
    Host host;
    Loader loader(doc, host, &access);
    loader.settings.currentArchivePassword = QStringLiteral("wrong");
    loader.StartLoader(archivedRequest(zip, QStringLiteral("R.RPT"), QStringLiteral("wrong")));
    waitIdle(loader);
    EXPECT_TRUE(host.sink.texts().contains(QStringLiteral("Archive Error 03 RC = 10")))
        << qPrintable(host.sink.texts().join(" | "));
    EXPECT_EQ(doc.pages.count(), 0);
    EXPECT_FALSE(host.firstPage);
}

} // namespace
