// Time from the open request to the final page count through the loader
// thread, with its synchronized steps served by an event loop on the main
// thread as in the viewer. Prints seconds.

#include "document/loader.h"
#include "platform/messagesink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

using namespace veltra;

namespace {

class Host : public LoaderHost {
public:
    QElapsedTimer clock;
    double firstPage = -1, finalCount = -1;
    SilentMessageSink sink;

    void synchronize(const std::function<void()> &step) override
    {
        QMetaObject::invokeMethod(qApp, step, Qt::BlockingQueuedConnection);
    }
    MessageSink &messages() override { return sink; }
    void closeReport() override {}
    void showReportName(const QString &) override {}
    void showIdentity() override {}
    void showFirstPage() override
    {
        if (firstPage < 0)
            firstPage = clock.nsecsElapsed() / 1e9;
    }
    void showPageCount(const QString &, bool final) override
    {
        if (final) {
            finalCount = clock.nsecsElapsed() / 1e9;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }
    void showUnzipPercent(int) override {}
    void goToPage(qint64) override {}
    void goToLastPage() override {}
    void restorePageCommands() override {}
    void greyPageCommands() override {}
    void setPlainGreenBarEntries(bool) override {}
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        fputs("usage: bench-openload REPORT\n", stderr);
        return 2;
    }
    ReportDocument doc;
    Host host;
    Loader loader(doc, host);
    loader.settings.index.useIndices = false;
    loader.settings.index.saveIndices = false;
    OpenRequest request;
    request.PendingRptPath = QString::fromLocal8Bit(argv[1]);
    host.clock.start();
    loader.StartLoader(request);
    app.exec();
    loader.stopAndWait([] { QCoreApplication::processEvents(); });
    printf("%.3f %.3f %lld\n", host.finalCount, host.firstPage, doc.PageCount());
    return host.finalCount < 0 ? 1 : 0;
}
