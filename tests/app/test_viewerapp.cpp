// The whole program offscreen: start-up, the command line, opening reports
// while they are scanned, the page commands, keys and the page box. Messages
// go to a recorder; the open dialog is replaced by a script.

#include "app/mainwindow.h"
#include "app/veltraapp.h"
#include "app/viewercontroller.h"
#include "archive/pagecodec.h"
#include "document/loader.h"
#include "document/pagetext.h"
#include "document/pageindex.h"
#include "document/reportsource.h"
#include "platform/messagesink.h"
#include "platform/windowplacement.h"
#include "viewer/reportpane.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace veltra;

namespace {

QByteArray ccReport(int pages, int linesPerPage = 3)
{
    QByteArray data;
    for (int p = 1; p <= pages; ++p) {
        data += "1REPORT PAGE " + QByteArray::number(p) + "\r\n";
        for (int l = 1; l < linesPerPage; ++l)
            data += " DETAIL " + QByteArray::number(p) + "." + QByteArray::number(l)
                + QByteArray(100, '.') + "\r\n";
    }
    return data;
}

} // namespace

class TestViewerApp : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedMessageSink> sink_;
    std::unique_ptr<VeltraApp> app_;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir_->filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    VeltraApp &start(const QStringList &args, bool show = true)
    {
        app_ = std::make_unique<VeltraApp>(args, sink_.get());
        [&] { QVERIFY(app_->FormCreate()); }();
        if (show)
            app_->FormShow();
        return *app_;
    }
    TVeltraFm &fm() { return app_->window(); }
    QAction *action(const char *name) { return fm().action(QLatin1String(name)); }
    QWidget *widget(const char *name) { return qobject_cast<QWidget *>(fm().named(QLatin1String(name))); }
    QString pageBox() { return qobject_cast<QLineEdit *>(widget("CurrPageRzSP"))->text(); }
    QString countLabel() { return qobject_cast<QLabel *>(widget("MaxPagesLb"))->text(); }
    qint64 currPage() { return app_->document().CurrPage.load(); }
    bool loadDone() { return !app_->viewer().loader().busy(); }
    QByteArray bodyText() { return fm().pane(4)->reportText(); }
    void key(int k, const QString &text = {})
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &fm();
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
    }
    void type(const QString &chars)
    {
        for (QChar c : chars)
            key(c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A + (c.toUpper().unicode() - 'A'), QString(c));
    }
    // Holds the loader right after the first page is shown, so that the
    // report is still "being scanned" with only the first chunk's pages.
    void holdAfterFirstPage()
    {
        ViewerController *v = &app_->viewer();
        connect(v, &ViewerController::firstPageShown, v, [v] { v->loader().holdLoader(); },
                Qt::DirectConnection);
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QDir(dir_->path()).mkpath("home");
        QDir(dir_->path()).mkpath("user");
        QDir(dir_->path()).mkpath("config");
        qputenv("VELTRA_HOME", dir_->filePath("home").toLocal8Bit());
        qputenv("VELTRA_USER_DIR", dir_->filePath("user").toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", dir_->filePath("config").toLocal8Bit());
        sink_ = std::make_unique<ScriptedMessageSink>();
    }
    void cleanup()
    {
        app_.reset();
        sink_.reset();
        dir_.reset();
    }

    void startWithNoReport()
    {
        start({});
        QCOMPARE(fm().windowTitle(), QString("Veltra"));
        for (const char *name : {"PageUpMu", "PageDownMu", "FirstPageMU", "LastPageMU", "GoToPageMU", "PrintMu",
                                 "FindMu", "RepeatFindMu", "SaveToFileMu", "CopyMu", "ZoomInMu", "ZoomOutMu",
                                 "BookmarkMu", "NotesMu", "ArchiveMu", "ParseNCopyBarMu"})
            QVERIFY2(!action(name)->isEnabled(), name);
        for (const char *name : {"GoToBtn", "PageUpLMDOfBtn", "PageDownLMDOfBtn", "PrintSBtn", "FindSBtn"})
            QVERIFY2(!widget(name)->isEnabled(), name);
        QVERIFY(action("Openmu")->isEnabled());
        QCOMPARE(sink_->count(), 0);
        // The view font of the settings: bold, 8 points, on all four panes.
        for (int n = 1; n <= 4; ++n) {
            QVERIFY(fm().pane(n)->font().bold());
            QCOMPARE(fm().pane(n)->font().pointSize(), 8);
        }
        QVERIFY(action("GGBarGreen")->isChecked());
        // Keys do nothing without a report.
        type("5e");
        key(Qt::Key_F8);
        QCOMPARE(pageBox(), QString());
    }

    void commandLineMessages_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("opens");
        QTest::newRow("missing report") << QStringList{"@/nope/R.TXT"}
                                        << "Invalid Report Entry on Command Line\r\n@/nope/R.TXT" << false;
        QTest::newRow("empty report") << QStringList{"@EMPTY.TXT"} << "FileSize = 0 \r\n@EMPTY.TXT" << false;
        QTest::newRow("missing directory") << QStringList{"/nope/reports/"}
                                           << "Invalid ReportDir Entry on Command Line\r\n/nope/reports" << false;
        QTest::newRow("bad number") << QStringList{"@R.TXT", "5", "abc"}
                                    << "Invalid number on Command Line, ignored:\r\nArgument 3: abc" << true;
    }
    void commandLineMessages()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QFETCH(bool, opens);
        write("EMPTY.TXT", {});
        write("R.TXT", ccReport(4));
        for (QString &a : args)
            a.replace("@", opens || a.contains("EMPTY") ? dir_->path() + "/" : "");
        message.replace("@", message.contains("EMPTY") ? dir_->path() + "/" : "");
        start(args);
        QTRY_VERIFY(loadDone());
        QVERIFY2(sink_->texts().contains(message), qPrintable(sink_->texts().join(" | ")));
        if (opens)
            QTRY_COMPARE(countLabel(), QString("4"));
        else
            QCOMPARE(app_->document().PageCount(), 0);
    }

    void openFromTheCommandLineAndPage()
    {
        const QString path = write("daily.txt", ccReport(12));
        start({path});
        QTRY_COMPARE(countLabel(), QString("12"));
        QTRY_VERIFY(loadDone());
        QCOMPARE(currPage(), 1);
        QCOMPARE(pageBox(), QString("1"));
        QCOMPARE(fm().windowTitle(), QString("Veltra - daily.txt"));
        QVERIFY(bodyText().startsWith("REPORT PAGE 1"));
        QVERIFY(!action("PageUpMu")->isEnabled());
        QVERIFY(action("PageDownMu")->isEnabled());
        QVERIFY(action("PrintMu")->isEnabled());
        QCOMPARE(qobject_cast<QLabel *>(widget("MaxPagesLb"))->palette().color(QPalette::WindowText),
                 QColor(Qt::red));

        action("PageDownMu")->trigger();
        QCOMPARE(currPage(), 2);
        QVERIFY(bodyText().startsWith("REPORT PAGE 2"));
        key(Qt::Key_F8);
        QCOMPARE(currPage(), 3);
        key(Qt::Key_F7);
        QCOMPARE(currPage(), 2);

        // Typed digits and Enter; Escape restores the page box.
        type("7");
        QCOMPARE(pageBox(), QString("7"));
        QVERIFY(widget("GoToBtn")->isEnabled());
        key(Qt::Key_Return);
        QCOMPARE(currPage(), 7);
        QCOMPARE(pageBox(), QString("7"));
        type("11");
        key(Qt::Key_Escape);
        QCOMPARE(pageBox(), QString("7"));
        QCOMPARE(currPage(), 7);
        type("99");
        key(Qt::Key_Return);
        QCOMPARE(currPage(), 12);
        QVERIFY(!action("PageDownMu")->isEnabled());
        QVERIFY(!action("LastPageMU")->isEnabled());

        type("t");
        QCOMPARE(currPage(), 1);
        type("E");
        QCOMPARE(currPage(), 12);
        QCOMPARE(pageBox(), QString("12"));

        // The Go To Page box.
        sink_->pushAnswer(true, "x1");
        sink_->pushAnswer(true, "5");
        action("GoToPageMU")->trigger();
        QCOMPARE(currPage(), 5);
        QVERIFY(sink_->texts().join("|").contains("Page Number not valid Integer value."));
    }

    void onePageReport()
    {
        start({write("one.txt", ccReport(1))});
        QTRY_VERIFY(loadDone());
        QTRY_COMPARE(countLabel(), QString("1"));
        for (const char *name : {"PageUpMu", "PageDownMu", "FirstPageMU", "LastPageMU", "GoToPageMU"})
            QVERIFY2(!action(name)->isEnabled(), name);
        key(Qt::Key_F8);
        QCOMPARE(currPage(), 1);
    }

    void cleanScreen()
    {
        start({write("r.txt", ccReport(30))});
        QTRY_VERIFY(loadDone());
        QTRY_COMPARE(countLabel(), QString("30"));
        action("CleanScreenMU")->trigger();
        QVERIFY(fm().cleanScreen());
        QVERIFY(widget("ToolBarPanel")->isHidden());
        QVERIFY(action("NextPageMMu")->isVisible());
        QVERIFY(action("NextPageMMu")->isEnabled());
        // Digits are ignored in Clean Screen mode; letters still move.
        type("5");
        QCOMPARE(pageBox(), QString("1"));
        type("l");
        QCOMPARE(currPage(), 30);
        action("CleanScreenMU")->trigger();
        QVERIFY(!fm().cleanScreen());
        QVERIFY(!widget("ToolBarPanel")->isHidden());
        QVERIFY(!action("NextPageMMu")->isVisible());
    }

    void goToPageNotYetScanned_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("shown");
        QTest::newRow("page 500 of 3000") << 3000 << 500;
        QTest::newRow("page 500 of 300") << 300 << 300;
    }
    void goToPageNotYetScanned()
    {
        QFETCH(int, pages);
        QFETCH(int, shown);
        const QString path = write("big.txt", ccReport(pages, 10));
        start({});
        holdAfterFirstPage();
        app_->chooseFile = [path](const QString &, const QStringList &, int &) { return path; };
        app_->OpenmuClick();
        QTRY_COMPARE(currPage(), 1);
        QCOMPARE(countLabel(), QString("???"));
        QVERIFY(app_->document().PageCount() < 300);
        type("500");
        key(Qt::Key_Return);
        QCOMPARE(app_->document().PendingGoToPage.load(), 500);
        QCOMPARE(currPage(), 1);
        QVERIFY(!action("PageDownMu")->isEnabled());
        app_->viewer().loader().releaseLoader();
        QTRY_COMPARE(currPage(), qint64(shown));
        QTRY_COMPARE(countLabel(), QString::number(pages));
        QVERIFY(bodyText().startsWith("REPORT PAGE " + QByteArray::number(shown)));
        QCOMPARE(app_->viewer().navigator().NavigationHold, 'G');
    }

    void nextPageWhileScanning()
    {
        const QString path = write("big.txt", ccReport(2000, 10));
        start({});
        holdAfterFirstPage();
        app_->chooseFile = [path](const QString &, const QStringList &, int &) { return path; };
        app_->OpenmuClick();
        QTRY_COMPARE(currPage(), 1);
        const qint64 known = app_->document().PageCount();
        QVERIFY(known > 2 && known < 2000);
        key(Qt::Key_F8);  // a page whose successor is known: at once
        QCOMPARE(currPage(), 2);
        // The last known page needs the next one: release the scan and wait.
        while (currPage() < known - 1)
            key(Qt::Key_F8);
        QCOMPARE(app_->document().PageCount(), known);
        QTimer::singleShot(50, &app_->viewer(), [this] { app_->viewer().loader().releaseLoader(); });
        key(Qt::Key_F8);
        QCOMPARE(currPage(), known);
        QTRY_COMPARE(countLabel(), QString("2000"));
    }

    void secondOpenWhileTheFirstScans()
    {
        const QString first = write("first.txt", ccReport(3000, 10));
        const QString second = write("second.lst", ccReport(7));
        start({});
        holdAfterFirstPage();
        QString next = first;
        app_->chooseFile = [&next](const QString &, const QStringList &, int &) { return next; };
        app_->OpenmuClick();
        QTRY_COMPARE(currPage(), 1);
        QCOMPARE(fm().windowTitle(), QString("Veltra - first.txt"));
        QCOMPARE(countLabel(), QString("???"));
        disconnect(&app_->viewer(), &ViewerController::firstPageShown, nullptr, nullptr);
        next = second;
        app_->OpenmuClick();  // the held loader stops and takes the new request
        app_->viewer().loader().releaseLoader();
        QTRY_COMPARE(fm().windowTitle(), QString("Veltra - second.lst"));
        QTRY_COMPARE(countLabel(), QString("7"));
        QTRY_VERIFY(loadDone());
        QCOMPARE(app_->document().PageCount(), 7);
        QVERIFY(bodyText().startsWith("REPORT PAGE 1"));
        // The file filter learnt the extension.
        QVERIFY(app_->settings().FileFilter.startsWith("*.LST|*.lst|"));
    }

    void archiveWithIndexAndPassword()
    {
        if (QStandardPaths::findExecutable("zip").isEmpty())
            QSKIP("zip is not installed");
        const QString report = write("REPORT.TXT", ccReport(25));
        {
            ReportDocument d;
            QVERIFY(OpenPlainReport(d, report, {}, nullptr));
            ScanWholeReport(d);
            IndexSettings s;
            s.saveIndices = true;
            BuildIndexNames(d, s);
            BuildIndexHeader(d);
            QVERIFY(WriteIndex(d, s) == IndexWriteResult::Written);
            QVERIFY(QFile::exists(dir_->filePath("REPORT.VTI")));
        }
        const QString archive = dir_->filePath("DAY.ZIP");
        QProcess zip;
        zip.setWorkingDirectory(dir_->path());
        zip.start("zip", {"-q", "-P", "secret", archive, "REPORT.TXT", "REPORT.VTI"});
        QVERIFY(zip.waitForFinished());
        QCOMPARE(zip.exitCode(), 0);
        sink_->pushAnswer(true, "secret");
        start({archive});
        QTRY_VERIFY(loadDone());
        QTRY_COMPARE(countLabel(), QString("25"));
        QCOMPARE(sink_->texts(), QStringList{"Enter Password for Archive"});
        QVERIFY(app_->document().RptIsArchived);
        QVERIFY(!action("ArchiveMu")->isEnabled());
        QVERIFY(bodyText().startsWith("REPORT PAGE 1"));
        type("20");
        key(Qt::Key_Return);
        QCOMPARE(currPage(), 20);
        QVERIFY(bodyText().startsWith("REPORT PAGE 20"));

        // A wrong password stops with its message and opens nothing.
        app_.reset();
        sink_->clear();
        sink_->pushAnswer(true, "wrong");
        start({archive});
        QTRY_VERIFY(loadDone());
        QVERIFY(sink_->texts().join("|").contains("Invalid Password."));
        QCOMPARE(app_->document().PageCount(), 0);
    }

    void reportLibraryModeOpensAtStart()
    {
        const QString path = write("lib.txt", ccReport(3));
        start({"--report-library"}, false);
        int asked = 0;
        app_->chooseFile = [&](const QString &, const QStringList &, int &) {
            ++asked;
            return path;
        };
        app_->FormShow();
        QCOMPARE(asked, 1);
        QVERIFY(app_->ReportLibraryMode);
        QVERIFY(fm().reportLibraryMode());
        QTRY_COMPARE(countLabel(), QString("3"));
        QVERIFY(action("CrossFileSearchMU")->isVisible());
        QVERIFY(!action("CrossFileSearchMU")->isEnabled());
    }

    void compressedReport()
    {
        const QString original = write("orig.txt", ccReport(9));
        const QString packed = dir_->filePath("packed.vtc");
        ReportDocument src;
        QVERIFY(OpenPlainReport(src, original, {}, nullptr));
        ScanWholeReport(src);
        QString error;
        QVERIFY2(WriteCompressedReport(src, packed, CompressOptions{}, &error), qPrintable(error));
        start({packed});
        QTRY_VERIFY(loadDone());
        QTRY_COMPARE(countLabel(), QString("9"));
        QCOMPARE(app_->document().RptType, RptTypeCompressed);
        type("6");
        key(Qt::Key_Return);
        QCOMPARE(currPage(), 6);
        QVERIFY(bodyText().startsWith("REPORT PAGE 6"));
        QVERIFY(bodyText().contains("DETAIL 6.2"));
    }

    void closingWhileAnArchiveIsUnzipped()
    {
        if (QStandardPaths::findExecutable("zip").isEmpty())
            QSKIP("zip is not installed");
        write("LARGE.TXT", ccReport(40000, 10));  // about 45 MB
        const QString archive = dir_->filePath("LARGE.ZIP");
        QProcess zip;
        zip.setWorkingDirectory(dir_->path());
        zip.start("zip", {"-q", "-1", archive, "LARGE.TXT"});
        QVERIFY(zip.waitForFinished(60000));
        start({archive}, false);
        holdAfterFirstPage();
        app_->FormShow();
        QTRY_VERIFY(app_->document().UnzipRunning.load() || currPage() == 1);
        fm().close();  // cancels the unzip and waits for the loader
        QVERIFY(loadDone());
        QVERIFY(!app_->document().UnzipRunning.load());
        QVERIFY(!app_->document().ScanRunning.load());
    }

    void closingSavesThePlacementAndStopsTheLoader()
    {
        start({write("big.txt", ccReport(3000, 10))}, false);
        holdAfterFirstPage();
        app_->FormShow();
        QTRY_COMPARE(currPage(), 1);
        fm().close();
        QVERIFY(loadDone());
        const auto placement = WindowPlacementStore().read();
        QVERIFY(placement.has_value());
        QCOMPARE(placement->width, fm().geometry().width());
    }
};

QTEST_MAIN(TestViewerApp)
#include "test_viewerapp.moc"
