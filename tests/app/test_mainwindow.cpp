#include "app/mainwindow.h"
#include "platform/dialogmessagesink.h"
#include "viewer/reportpane.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace veltra;

namespace {

// Enabled / visible / checked of every named action and widget, to compare
// the window before and after a round trip.
QMap<QString, QString> snapshot(const TVeltraFm &w)
{
    QMap<QString, QString> out;
    for (QAction *a : w.findChildren<QAction *>()) {
        if (a->objectName().isEmpty())
            continue;
        out[a->objectName()] = QStringLiteral("%1%2%3").arg(a->isEnabled()).arg(a->isVisible()).arg(
            a->isChecked());
    }
    for (QWidget *x : w.findChildren<QWidget *>()) {
        if (x->objectName().isEmpty() || x->objectName().startsWith(QLatin1String("qt_")))
            continue;
        auto *b = qobject_cast<QAbstractButton *>(x);
        out[x->objectName() + "/w"] = QStringLiteral("%1%2%3%4")
                                          .arg(x->isEnabled())
                                          .arg(x->isVisible())
                                          .arg(b && b->isChecked())
                                          .arg(x->height());
    }
    return out;
}

bool enabledByName(const TVeltraFm &w, const QString &name)
{
    QObject *o = w.named(name);
    if (auto *a = qobject_cast<QAction *>(o))
        return a->isEnabled();
    if (auto *x = qobject_cast<QWidget *>(o))
        return x->isEnabled();
    return false;
}

QString plain(const char *text)
{
    return QString::fromUtf8(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void everyNameExists_data();
    void everyNameExists();
    void captionsAndShortcuts_data();
    void captionsAndShortcuts();
    void buttonCaptionsAndHints_data();
    void buttonCaptionsAndHints();
    void popupOrder();
    void composition();
    void noReportGreysReportCommands();
    void reportLoadedEnablesThem();
    void cleanScreenRoundTrip();
    void cleanScreenMenuBarFollowsTwins();
    void toolBarRows();
    void statusBarChoiceLasts();
    void twinsReachTheCommand();
    void featureSwitches();
    void keyPreview();
    void goToSitsLeftOfPage();
    void pageBoxEventsAndDialogPlace();
    void dialogSinkAnswers();

private:
    TVeltraFm *w = nullptr;
};

void TestMainWindow::init()
{
    w = new TVeltraFm;
    w->resize(1000, 700);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestMainWindow::cleanup()
{
    delete w;
    w = nullptr;
}

void TestMainWindow::everyNameExists_data()
{
    QTest::addColumn<QString>("kind");
    const char *actions[] = {
        "File1", "Openmu", "ReopenMu", "SaveToFileMu", "ArchiveMu", "PrintMu", "ExitMu",
        "Edit1", "CopyMu", "ParseNCopyBarMu", "FindMu", "RepeatFindMu", "CrossFileSearchMU",
        "FirstPageMU", "PageUpMu", "PageDownMu", "LastPageMU", "GoToPageMU", "BookmarkMu",
        "NotesMu", "View1", "CleanScreenMU", "ToolBarMu", "OneRowTBMu", "TwoRowTBMu",
        "StatusBarMu", "ShowSBMu", "HideSBMu", "GreenBarGrayBarMu", "GGBarBlue", "GGBarGray",
        "GGBarGreen", "GGBarNone", "ZoomInMu", "ZoomOutMu", "SyncColumnsMu", "PrintMMU",
        "FindMMU", "RepeatFindMMU", "CrossFileSearchMMU", "FirstPageMMU", "PrevPageMMU",
        "NextPageMMu", "LastPageMMU", "GoToPageMMU", "Help1", "ContentsMu", "SearchMu",
        "SalesMu", "TechnicalSupportMu", "AboutMu", "CleanScreenPU", "PULine01", "HelpPU",
        "OpenPU", "ReopenPU", "PrintPu", "ExitPU", "FindPU", "RepeatFindPU",
        "CrossFileSearchPU", "CopyPu", "ParseNCopyBarPU", "FirstPagePU", "PrevPagePU",
        "NextPagePU", "LastPagePU", "GoToPagePU", "GreenBarGrayBarPU", "GGBarBluePU",
        "GGBarGrayPU", "GGBarGreenPU", "GGBarNonePU", "ZoomInPU", "ZoomOutPu", "LockColumnPu",
        "BookMarkPU", "NotesPU", "RptDescRzBtnButton",
    };
    for (const char *n : actions)
        QTest::newRow(n) << "action";
    const char *widgets[] = {
        "ToolBarPanel", "ToolBarScrllBx", "AppExitBtn", "HelpSBtn", "OpenSBtn", "ReopenSBtn",
        "PrintSBtn", "FindSBtn", "CrossFileSearchBtn", "CopyLMDOffcBtn", "PCopyLMDOffcBtn",
        "PageUpLMDOfBtn", "PageDownLMDOfBtn", "BkMrkLMDOBtn", "ZoomInSBtn", "ZoomOutSBtn",
        "ViewFontRzFontComboBox", "LockColRzChkBx", "SaveToFileSBtn", "ArchiveSBtn",
        "CurLineLB", "CurColLB", "GetInternalValueBtn", "HexLb", "DecimalLb", "SvToFlRzTbar",
        "ParseNCopyTBar", "NotesRzSplitter", "RzSplitter", "RzSplitterL", "RzSplitterR",
        "NotesToolBar", "NoteMemo", "RzStatusBar1", "NotesAvailLSpdBtn", "RptDescRzBtn",
        "RepeatFndBtn", "FndLMDScrlTxt2", "RFSrchTPgsLb", "StopSBtn2", "GoToBtn", "PageLb",
        "CurrPageRzSP", "OfLb", "MaxPagesLb", "PageOfLb", "MainPopupMenu",
    };
    for (const char *n : widgets)
        QTest::newRow(n) << "widget";
    for (const char *n : {"OvcEditorLH", "OvcEditorLB", "OvcEditorRH", "OvcEditorRB", "PnCOvcEdt"})
        QTest::newRow(n) << "pane";
    for (const char *n : {"NotesTimer1", "LeftColumnTimer", "OvcTimerPool1"})
        QTest::newRow(n) << "timer";
}

void TestMainWindow::everyNameExists()
{
    QFETCH(QString, kind);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    if (kind == "action")
        QVERIFY(w->findChild<QAction *>(name));
    else if (kind == "widget")
        QVERIFY(w->findChild<QWidget *>(name));
    else if (kind == "pane")
        QVERIFY(w->findChild<ReportPane *>(name));
    else
        QVERIFY(w->findChild<QTimer *>(name));
    QCOMPARE(w->findChildren<QObject *>(name).size() >= 1, true);
}

void TestMainWindow::captionsAndShortcuts_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("Openmu") << "&Open (F4)..." << QKeySequence(Qt::CTRL | Qt::Key_O);
    QTest::newRow("ReopenMu") << "&Reopen..." << QKeySequence(Qt::Key_F5);
    QTest::newRow("SaveToFileMu") << "&Save To File..." << QKeySequence(Qt::CTRL | Qt::Key_S);
    QTest::newRow("ArchiveMu") << "&Archive..." << QKeySequence();
    QTest::newRow("PrintMu") << "&Print (F6)..." << QKeySequence(Qt::CTRL | Qt::Key_P);
    QTest::newRow("ExitMu") << "E&xit" << QKeySequence();
    QTest::newRow("FindMu") << "&Find (F2)..." << QKeySequence(Qt::CTRL | Qt::Key_F);
    QTest::newRow("RepeatFindMu") << "Rep&eat Find" << QKeySequence(Qt::Key_F3);
    QTest::newRow("PageUpMu") << "Pre&vious Page (F7)" << QKeySequence(Qt::CTRL | Qt::Key_PageUp);
    QTest::newRow("PageDownMu") << "Ne&xt Page (F8)" << QKeySequence(Qt::CTRL | Qt::Key_PageDown);
    QTest::newRow("FirstPageMU") << "First (&Top) Page" << QKeySequence();
    QTest::newRow("LastPageMU") << "Last (&Bottom) Page" << QKeySequence();
    QTest::newRow("GoToPageMU") << "&Go To Page..." << QKeySequence(Qt::CTRL | Qt::Key_G);
    QTest::newRow("BookmarkMu") << "Bookmarks..." << QKeySequence(Qt::CTRL | Qt::Key_B);
    QTest::newRow("NotesMu") << "N&otes..." << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("CleanScreenMU") << "Clean Screen" << QKeySequence(Qt::CTRL | Qt::Key_K);
    QTest::newRow("GGBarGreen") << "MoneyGreen" << QKeySequence();
    QTest::newRow("SyncColumnsMu") << "Sync Columns" << QKeySequence();
    QTest::newRow("RepeatFindMMU") << "Repeat Fin&d" << QKeySequence();
    QTest::newRow("CrossFileSearchMMU") << "xRptSrc" << QKeySequence();
    QTest::newRow("NextPageMMu") << "&Next Page" << QKeySequence();
    QTest::newRow("GoToPageMMU") << "&Go to Page" << QKeySequence();
    QTest::newRow("AboutMu") << "&About Veltra32..." << QKeySequence();
    QTest::newRow("Help1") << "&Help" << QKeySequence();
    QTest::newRow("StatusBarMu") << "Status Bar" << QKeySequence();
}

void TestMainWindow::captionsAndShortcuts()
{
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QAction *a = w->action(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(a);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut(), shortcut);
}

void TestMainWindow::buttonCaptionsAndHints_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::newRow("OpenSBtn") << plain("&Open\r\n  F4") << QString();
    QTest::newRow("ReopenSBtn") << plain("&Reopen\r\n    F5") << QString();
    QTest::newRow("CrossFileSearchBtn") << plain("  xRpt\r\nSearch") << QString();
    QTest::newRow("PCopyLMDOffcBtn") << plain("P Copy\r\n  Bar...") << "Show/Hide Parse N Copy Bar";
    QTest::newRow("PageUpLMDOfBtn") << plain("Prev Pg\r\n    F7") << "Ctrl+Page Up";
    QTest::newRow("PageDownLMDOfBtn") << plain("Next Pg\r\n    F8") << "Ctrl+Page Down";
    QTest::newRow("ZoomOutSBtn") << plain("Zoom\r\n  O&ut") << QString();
    QTest::newRow("NotesAvailLSpdBtn") << "No&tes" << "Notes Area - Show / Hide";
    QTest::newRow("RepeatFndBtn") << " Repeat Fin&d - F3" << QString();
    QTest::newRow("StopSBtn2") << "Stop" << "Stop";
    QTest::newRow("GoToBtn") << "&Go To" << QString();
    QTest::newRow("LockColRzChkBx") << "Sync Columns"
                                    << "Sync Columns synchronizes the scrolling of the Left and "
                                       "Right view areas when the viewing area is split on columns.";
    QTest::newRow("GetInternalValueBtn") << "Get Hex/Dec"
                                         << "Place cursor in front of character and click this button.";
    QTest::newRow("PageLb") << " Page " << QString();
    QTest::newRow("OfLb") << " of " << QString();
    QTest::newRow("CurLineLB") << plain("Current Ln:\r\n0")
                               << "Current Line of the Cursor in the Right, Bottom View Area";
    QTest::newRow("CurrPageRzSP")
        << "0" << plain("Type numbers and\r\nPress the Enter Key\r\nor type T(Top), E(End),\r\nB(Bottom)");
    QTest::newRow("MaxPagesLb") << ""
                                << plain("Press B or E to go to the Last Page, \r\nT to go to the First Page");
    QTest::newRow("RptDescRzBtn") << "" << "Report Description";
    QTest::newRow("AppExitBtn") << "Exit" << "Exit Veltra";
}

void TestMainWindow::buttonCaptionsAndHints()
{
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QWidget *x = w->findChild<QWidget *>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(x);
    QString text;
    if (auto *b = qobject_cast<QAbstractButton *>(x))
        text = b->text();
    else if (auto *l = qobject_cast<QLabel *>(x))
        text = l->text();
    else if (auto *e = qobject_cast<QLineEdit *>(x))
        text = e->text();
    QCOMPARE(text, caption);
    QCOMPARE(x->toolTip(), hint);
}

void TestMainWindow::popupOrder()
{
    QStringList names;
    for (QAction *a : w->popupMenu()->actions())
        names << a->objectName();
    const QStringList want = {
        "CleanScreenPU", "PULine01", "HelpPU", "OpenPU", "ReopenPU", "PrintPu", "ExitPU",
        "PULine02", "FindPU", "RepeatFindPU", "CrossFileSearchPU", "PULine03", "CopyPu",
        "ParseNCopyBarPU", "FirstPagePU", "PrevPagePU", "NextPagePU", "LastPagePU",
        "GoToPagePU", "PULine04", "GreenBarGrayBarPU", "ZoomInPU", "ZoomOutPu", "LockColumnPu",
        "PULine05", "BookMarkPU", "NotesPU",
    };
    QCOMPARE(names, want);
    QStringList captions;
    for (QAction *a : w->popupMenu()->actions())
        if (!a->isSeparator())
            captions << a->text();
    QCOMPARE(captions.first(), QStringLiteral("Clean Screen"));
    QVERIFY(captions.contains("Previous Page (F7)"));
    QVERIFY(captions.contains("Go To Page..."));
    QCOMPARE(captions.last(), QStringLiteral("Notes..."));
    QMenu *effects = w->findChild<QMenu *>("GreenBarGrayBarPU");
    QStringList effectNames;
    for (QAction *a : effects->actions())
        effectNames << a->text();
    QCOMPARE(effectNames, (QStringList{"LightBlue", "LightGray", "MoneyGreen", "None"}));
    QVERIFY(w->action("GGBarNonePU")->isChecked());
    QVERIFY(w->action("LockColumnPu")->isChecked());

    // Main menu order of the bar itself.
    QStringList bar;
    for (QAction *a : w->menuBar()->actions())
        bar << a->objectName();
    QCOMPARE(bar, (QStringList{"File1", "Edit1", "View1", "PrintMMU", "FindMMU", "RepeatFindMMU",
                               "CrossFileSearchMMU", "FirstPageMMU", "PrevPageMMU", "NextPageMMu",
                               "LastPageMMU", "GoToPageMMU", "Help1"}));
}

void TestMainWindow::composition()
{
    QCOMPARE(w->findChild<QWidget *>("ToolBarPanel")->height(), 39);
    QCOMPARE(w->statusBar()->height(), 26);
    QCOMPARE(w->statusBar()->objectName(), QStringLiteral("RzStatusBar1"));
    QVERIFY(!w->findChild<QWidget *>("SvToFlRzTbar")->isVisible());
    QVERIFY(!w->findChild<QWidget *>("ParseNCopyTBar")->isVisible());
    QCOMPARE(w->designEditor()->parentWidget()->objectName(), QStringLiteral("ParseNCopyTBar"));

    // The panes: place, number and scroll bars.
    struct P {
        int number;
        const char *name, *splitter;
        Qt::ScrollBarPolicy h, v;
    } const panes[] = {
        {1, "OvcEditorLH", "RzSplitterL", Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff},
        {2, "OvcEditorRH", "RzSplitterR", Qt::ScrollBarAlwaysOff, Qt::ScrollBarAsNeeded},
        {3, "OvcEditorLB", "RzSplitterL", Qt::ScrollBarAsNeeded, Qt::ScrollBarAlwaysOff},
        {4, "OvcEditorRB", "RzSplitterR", Qt::ScrollBarAsNeeded, Qt::ScrollBarAsNeeded},
    };
    for (const P &p : panes) {
        ReportPane *pane = w->pane(p.number);
        QCOMPARE(pane->objectName(), QString::fromLatin1(p.name));
        QCOMPARE(pane->parentWidget()->objectName(), QString::fromLatin1(p.splitter));
        QCOMPARE(pane->horizontalScrollBarPolicy(), p.h);
        QCOMPARE(pane->verticalScrollBarPolicy(), p.v);
        QVERIFY(pane->isReadOnly());
        QCOMPARE(pane->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(pane->font().pointSize(), 8);
    }
    QVERIFY(!w->pane(0) && !w->pane(5));
    // Header panes above body panes.
    auto *left = w->findChild<QSplitter *>("RzSplitterL");
    QCOMPARE(left->widget(0), static_cast<QWidget *>(w->pane(1)));
    QCOMPARE(left->widget(1), static_cast<QWidget *>(w->pane(3)));
    QCOMPARE(w->findChild<QSplitter *>("RzSplitter")->widget(0), static_cast<QWidget *>(left));

    struct T {
        const char *name;
        int ms;
    } const timers[] = {{"NotesTimer1", 500}, {"LeftColumnTimer", 5}, {"OvcTimerPool1", 100}};
    for (const T &t : timers) {
        auto *timer = w->findChild<QTimer *>(t.name);
        QCOMPARE(timer->interval(), t.ms);
        QVERIFY(!timer->isActive());
    }
    auto *count = w->findChild<QLabel *>("MaxPagesLb");
    QVERIFY(count->font().bold());
    QCOMPARE(count->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QVERIFY(!w->findChild<QWidget *>("GoToBtn")->isEnabled());
    QVERIFY(!w->findChild<QWidget *>("PageOfLb")->isVisible());
    // A new window has no report: its report commands are greyed already.
    for (const QString &n : NoReportGreyed())
        QVERIFY2(!enabledByName(*w, n), qPrintable(n));
    QVERIFY(enabledByName(*w, "Openmu"));
    QVERIFY(w->findChild<QCheckBox *>("LockColRzChkBx")->isChecked());
    QCOMPARE(w->findChild<QLineEdit *>("CurrPageRzSP")->alignment() & Qt::AlignRight, Qt::AlignRight);
}

void TestMainWindow::noReportGreysReportCommands()
{
    QGuiApplication::clipboard()->setText("left over");
    w->findChild<QCheckBox *>("LockColRzChkBx")->setChecked(false);
    w->setNoReportState();
    for (const QString &n : NoReportGreyed())
        QVERIFY2(!enabledByName(*w, n), qPrintable(n));
    for (const char *n : {"LockColumnPu", "SyncColumnsMu"})
        QVERIFY(w->action(n)->isChecked());
    QVERIFY(w->findChild<QCheckBox *>("LockColRzChkBx")->isChecked());
    QVERIFY(!w->action("CrossFileSearchMMU")->isVisible());
    QVERIFY(TVeltraFm::splitterLocked(w->findChild<QSplitter *>("RzSplitter")));
    QVERIFY(TVeltraFm::splitterLocked(w->findChild<QSplitter *>("RzSplitterR")));
    QVERIFY(!TVeltraFm::splitterLocked(w->findChild<QSplitter *>("RzSplitterL")));
    QVERIFY(!w->findChild<QSplitter *>("RzSplitter")->handle(1)->isEnabled());
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    // Commands that stay usable without a report.
    for (const char *n : {"Openmu", "ReopenMu", "ExitMu", "CleanScreenMU", "ContentsMu"})
        QVERIFY2(enabledByName(*w, n), n);
    // The panes themselves stay usable (a locked splitter locks only its bar).
    QVERIFY(w->pane(4)->isEnabled());
}

void TestMainWindow::reportLoadedEnablesThem()
{
    w->setNoReportState();
    w->findChild<QLabel *>("HexLb")->setText("Hex: 41");
    w->setReportLoadedState(LoadedSwitches{}, /*archived=*/true);
    for (const char *n : {"SaveToFileMu", "SaveToFileSBtn", "PrintSBtn", "PrintPu", "FindMu",
                          "NextPagePU", "PageDownLMDOfBtn", "LastPageMU", "GoToPagePU",
                          "ZoomInSBtn", "ViewFontRzFontComboBox", "RptDescRzBtn", "BkMrkLMDOBtn",
                          "ParseNCopyBarPU", "CopyLMDOffcBtn", "LockColRzChkBx"})
        QVERIFY2(enabledByName(*w, n), n);
    // An archive member is not archived again; the previous-page commands
    // wait for the page rule.
    for (const char *n : {"ArchiveMu", "ArchiveSBtn", "PageUpMu", "PageUpLMDOfBtn"})
        QVERIFY2(!enabledByName(*w, n), n);
    // "&Go To" is greyed by the load, then takes its menu twin's state when
    // the command states are applied.
    QCOMPARE(enabledByName(*w, "GoToBtn"), enabledByName(*w, "GoToPageMU"));
    QVERIFY(!TVeltraFm::splitterLocked(w->findChild<QSplitter *>("RzSplitter")));
    QVERIFY(w->findChild<QLabel *>("HexLb")->text().isEmpty());

    // Save to File disabled by the settings stays greyed after a load.
    w->setNoReportState();
    LoadedSwitches sw;
    sw.saveToFile = false;
    w->setReportLoadedState(sw, false);
    QVERIFY(!enabledByName(*w, "SaveToFileMu"));
    QVERIFY(!enabledByName(*w, "SaveToFileSBtn"));
    QVERIFY(enabledByName(*w, "ArchiveMu"));
}

void TestMainWindow::cleanScreenRoundTrip()
{
    w->setNoReportState();
    w->setReportLoadedState(LoadedSwitches{}, false);
    QTest::qWait(1);
    const auto before = snapshot(*w);

    QSignalSpy changed(w, &TVeltraFm::cleanScreenChanged);
    w->action("CleanScreenMU")->trigger();
    QVERIFY(w->cleanScreen());
    QCOMPARE(changed.size(), 1);
    QVERIFY(!w->findChild<QWidget *>("ToolBarPanel")->isVisible());
    QVERIFY(!w->statusBar()->isVisible());
    QVERIFY(w->action("CleanScreenMU")->isChecked());
    QVERIFY(w->action("CleanScreenPU")->isChecked());
    QVERIFY(!w->action("StatusBarMu")->isVisible());
    QVERIFY(!w->action("ToolBarMu")->isVisible());
    QVERIFY(w->action("HideSBMu")->isChecked());
    for (const MirrorPair &p : ButtonMirrors())
        QVERIFY2(!enabledByName(*w, p.follower), qPrintable(p.follower));

    // Off again from the popup twin: everything as it was.
    w->action("CleanScreenPU")->trigger();
    QVERIFY(!w->cleanScreen());
    QTest::qWait(1);
    const auto after = snapshot(*w);
    for (auto it = before.begin(); it != before.end(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(),
                 qPrintable(it.key() + ": " + it.value() + " -> " + after.value(it.key())));
}

void TestMainWindow::cleanScreenMenuBarFollowsTwins()
{
    w->setNoReportState();
    w->setReportLoadedState(LoadedSwitches{}, false);
    w->action("PageUpMu")->setEnabled(false);  // as on page 1
    w->action("FirstPageMU")->setEnabled(false);
    w->CleanScreenMUClick();
    for (const MirrorPair &p : MenuBarMirrors()) {
        QAction *item = w->action(p.follower);
        QAction *twin = w->action(p.leader);
        QVERIFY2(item->isVisible(), qPrintable(p.follower));
        QCOMPARE(item->isEnabled(), twin->isEnabled());
    }
    QVERIFY(!w->action("PrevPageMMU")->isEnabled());
    QVERIFY(w->action("NextPageMMu")->isEnabled());
    QVERIFY(!w->action("CrossFileSearchMMU")->isVisible());

    // A page change re-applies the states: the copies follow.
    w->action("PageUpMu")->setEnabled(true);
    w->applyCommandStates();
    QVERIFY(w->action("PrevPageMMU")->isEnabled());

    // In report library mode the cross-report copy shows with its twin's state.
    w->setReportLibraryMode(true);
    w->action("CrossFileSearchMU")->setEnabled(true);
    w->applyCommandStates();
    QVERIFY(w->action("CrossFileSearchMMU")->isVisible());
    QVERIFY(w->action("CrossFileSearchMMU")->isEnabled());
    QVERIFY(w->action("CrossFileSearchPU")->isEnabled());  // the popup item follows too

    w->CleanScreenMUClick();
    for (const QString &n : MenuBarItems())
        QVERIFY2(!w->action(n)->isVisible(), qPrintable(n));
    QVERIFY(w->findChild<QWidget *>("ToolBarPanel")->isVisible());
    QVERIFY(w->statusBar()->isVisible());
    QVERIFY(w->action("ShowSBMu")->isChecked());
}

void TestMainWindow::toolBarRows()
{
    auto *panel = w->findChild<QWidget *>("ToolBarPanel");
    auto *box = w->findChild<QScrollArea *>("ToolBarScrllBx");
    QCOMPARE(panel->height(), 39);
    QVERIFY(w->action("OneRowTBMu")->isChecked());
    // Both rows exist in one-row mode; the second is reached by scrolling.
    QVERIFY(box->widget()->height() >= 78);

    w->action("TwoRowTBMu")->trigger();
    QTest::qWait(1);
    QCOMPARE(panel->height(), 78);
    QCOMPARE(w->toolBarRows(), 2);
    QVERIFY(w->action("TwoRowTBMu")->isChecked());
    QVERIFY(!w->action("OneRowTBMu")->isChecked());
    w->action("TwoRowTBMu")->trigger();  // already two rows: no change
    QTest::qWait(1);
    QCOMPARE(panel->height(), 78);

    const QPoint copyPos = w->findChild<QWidget *>("CopyLMDOffcBtn")->pos();
    w->action("OneRowTBMu")->trigger();
    QTest::qWait(1);
    QCOMPARE(panel->height(), 39);
    QVERIFY(w->action("OneRowTBMu")->isChecked());
    QCOMPARE(w->findChild<QWidget *>("CopyLMDOffcBtn")->pos(), copyPos);  // no control moves

    w->setToolBarRows(2);
    QCOMPARE(panel->minimumHeight(), 78);
}

void TestMainWindow::statusBarChoiceLasts()
{
    QStatusBar *sb = w->statusBar();
    QVERIFY(sb->isVisible());
    w->action("HideSBMu")->trigger();
    QVERIFY(!sb->isVisible());
    QVERIFY(w->action("HideSBMu")->isChecked());
    QVERIFY(!w->action("ShowSBMu")->isChecked());

    // Page changes apply the command states: the user's choice stands.
    w->applyCommandStates();
    w->applyCommandStates();
    QVERIFY(!sb->isVisible());
    QVERIFY(w->action("HideSBMu")->isChecked());

    w->action("ShowSBMu")->trigger();
    QVERIFY(sb->isVisible());
    QVERIFY(w->statusBarChosen());

    // Hidden at start by the setting, then a Clean Screen round trip shows it.
    w->setStatusBarShown(false);
    QVERIFY(!sb->isVisible());
    w->CleanScreenMUClick();
    w->CleanScreenMUClick();
    QVERIFY(sb->isVisible());
    QVERIFY(w->action("ShowSBMu")->isChecked());
}

void TestMainWindow::twinsReachTheCommand()
{
    w->setNoReportState();
    w->setReportLoadedState(LoadedSwitches{}, false);
    QSignalSpy print(w->action("PrintMu"), &QAction::triggered);
    w->findChild<QToolButton *>("PrintSBtn")->click();
    w->action("PrintPu")->trigger();
    w->CleanScreenMUClick();
    w->action("PrintMMU")->trigger();
    w->CleanScreenMUClick();
    QCOMPARE(print.size(), 3);

    QSignalSpy next(w->action("PageDownMu"), &QAction::triggered);
    w->findChild<QToolButton *>("PageDownLMDOfBtn")->click();
    w->action("NextPagePU")->trigger();
    QCOMPARE(next.size(), 2);

    QSignalSpy notes(w->action("NotesMu"), &QAction::triggered);
    w->findChild<QWidget *>("NotesAvailLSpdBtn")->setEnabled(true);
    w->findChild<QToolButton *>("NotesAvailLSpdBtn")->click();
    QCOMPARE(notes.size(), 1);

    // Help (F1), Exit and Cross Report Search of the popup run their commands.
    QSignalSpy contents(w->action("ContentsMu"), &QAction::triggered);
    w->action("HelpPU")->trigger();
    QCOMPARE(contents.size(), 1);
    QSignalSpy cross(w->action("CrossFileSearchMU"), &QAction::triggered);
    w->action("CrossFileSearchPU")->setEnabled(true);
    w->action("CrossFileSearchPU")->trigger();
    QCOMPARE(cross.size(), 1);

    // Sync Columns: one state in three places.
    auto *box = w->findChild<QCheckBox *>("LockColRzChkBx");
    QSignalSpy sync(w->action("SyncColumnsMu"), &QAction::triggered);
    box->click();
    QVERIFY(!box->isChecked());
    QVERIFY(!w->action("SyncColumnsMu")->isChecked());
    QVERIFY(!w->action("LockColumnPu")->isChecked());
    w->action("LockColumnPu")->trigger();
    QVERIFY(box->isChecked());
    QVERIFY(w->action("SyncColumnsMu")->isChecked());
    QCOMPARE(sync.size(), 2);

    // The effect radio items of menu and popup keep one check.
    w->action("GGBarGrayPU")->trigger();
    QVERIFY(w->action("GGBarGray")->isChecked());
    QVERIFY(!w->action("GGBarNone")->isChecked());
    w->action("GGBarBlue")->trigger();
    QVERIFY(w->action("GGBarBluePU")->isChecked());
    QVERIFY(!w->action("GGBarGrayPU")->isChecked());

    // Exit closes the window.
    w->action("ExitPU")->trigger();
    QVERIFY(!w->isVisible());
}

void TestMainWindow::featureSwitches()
{
    FeatureSwitches sw;
    sw.open = FeatureSwitch::Hide;
    sw.bookMarks = FeatureSwitch::Disable;
    sw.cleanScreen = FeatureSwitch::Hide;
    sw.allowNotes = false;
    sw.help = FeatureSwitch::Hide;
    w->applyFeatureSwitches(sw);
    for (const char *n : {"Openmu", "OpenPU"}) {
        QVERIFY(!w->action(n)->isEnabled());
        QVERIFY(!w->action(n)->isVisible());
    }
    QVERIFY(w->findChild<QWidget *>("OpenSBtn")->isHidden());
    QVERIFY(!w->action("PULine01")->isVisible());
    QVERIFY(!w->action("Help1")->isVisible());
    QVERIFY(w->findChild<QWidget *>("HelpSBtn")->isHidden());
    QVERIFY(!w->action("BookMarkPU")->isEnabled());
    QVERIFY(w->action("BookMarkPU")->isVisible());
    QVERIFY(!w->findChild<QWidget *>("BkMrkLMDOBtn")->isEnabled());
    QVERIFY(w->findChild<QWidget *>("NotesAvailLSpdBtn")->isHidden());
    QVERIFY(TVeltraFm::splitterLocked(w->findChild<QSplitter *>("NotesRzSplitter")));
    QVERIFY(!w->action("ContentsMu")->property("helpContext").isValid());

    // After a load, a disabled feature stays greyed.
    w->setNoReportState();
    w->setReportLoadedState(LoadedSwitchesFrom(sw), false);
    QVERIFY(!w->action("BookmarkMu")->isEnabled());
    QVERIFY(w->action("PrintMu")->isEnabled());

    TVeltraFm other;
    other.applyFeatureSwitches(FeatureSwitches{});
    QCOMPARE(other.action("Openmu")->property("helpContext").toInt(), 1021);
    QCOMPARE(other.action("SyncColumnsMu")->property("helpContext").toInt(), 1042);
}

void TestMainWindow::keyPreview()
{
    QList<int> seen;
    bool consume = true;
    w->setKeyHandler([&](QKeyEvent *e) {
        seen << e->key();
        return consume;
    });
    ReportPane *rb = w->pane(4);
    rb->setReportText("line one\r\nline two\r\n");
    rb->setFocus();
    QApplication::setActiveWindow(w);
    QTRY_VERIFY(rb->hasFocus());
    rb->setCaret(1, 1);

    QTest::keyClick(rb, Qt::Key_F8);
    QTest::keyClick(rb, Qt::Key_Down);  // consumed: the caret stays
    QCOMPARE(seen, (QList<int>{Qt::Key_F8, Qt::Key_Down}));  // once each, not per parent
    QCOMPARE(rb->caretLine(), 1);

    consume = false;
    QTest::keyClick(rb, Qt::Key_Down);  // passed on: the pane moves its caret
    QCOMPARE(rb->caretLine(), 2);

    // Keys typed into the page box are seen first too.
    auto *page = w->findChild<QLineEdit *>("CurrPageRzSP");
    page->setFocus();
    QTRY_VERIFY(page->hasFocus());
    seen.clear();
    consume = true;
    QTest::keyClick(page, Qt::Key_5);
    QCOMPARE(seen, QList<int>{Qt::Key_5});
    QCOMPARE(page->text(), QStringLiteral("0"));

    // Another window's keys are not this window's business.
    QLineEdit elsewhere;
    elsewhere.show();
    seen.clear();
    QTest::keyClick(&elsewhere, Qt::Key_A);
    QVERIFY(seen.isEmpty());
}

void TestMainWindow::goToSitsLeftOfPage()
{
    for (int width : {1000, 640, 1280}) {
        w->resize(width, 600);
        QTest::qWait(5);
        auto *goTo = w->findChild<QWidget *>("GoToBtn");
        auto *pageLb = w->findChild<QWidget *>("PageLb");
        QCOMPARE(goTo->x() + goTo->width(), pageLb->x());
        QCOMPARE(goTo->parentWidget(), pageLb->parentWidget());
    }
}

void TestMainWindow::pageBoxEventsAndDialogPlace()
{
    QSignalSpy clicked(w, &TVeltraFm::pageBoxClicked);
    QSignalSpy entered(w, &TVeltraFm::goToButtonEntered);
    QTest::mouseClick(w->findChild<QWidget *>("CurrPageRzSP"), Qt::LeftButton);
    QCOMPARE(clicked.size(), 1);
    auto *goTo = w->findChild<QPushButton *>("GoToBtn");
    goTo->setEnabled(true);
    QApplication::setActiveWindow(w);
    goTo->setFocus();
    QTRY_COMPARE(entered.size(), 1);

    const QSize dlg(200, 100);
    const QPoint at = w->dialogPosAboveStatusBar(dlg);
    QCOMPARE(at.y() + dlg.height() + 5, w->statusBar()->mapToGlobal(QPoint(0, 0)).y());
    QCOMPARE(at.x() + dlg.width() / 2, w->mapToGlobal(QPoint(w->width() / 2, 0)).x());
    w->HideSBMuClick();
    QCOMPARE(w->dialogPosAboveStatusBar(dlg).y() + dlg.height() + 5,
             w->mapToGlobal(QPoint(0, w->height())).y());
}

void TestMainWindow::dialogSinkAnswers()
{
    // Answers each box as it opens; a guard closes anything left so that no
    // test can hang on a modal box.
    QStringList seen;
    auto answer = [&](std::function<void(QWidget *)> act) {
        QTimer::singleShot(0, [&seen, act] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box)
                return;
            if (auto *m = qobject_cast<QMessageBox *>(box))
                seen << m->windowTitle() + "|" + m->text();
            act(box);
        });
    };
    DialogMessageSink sink(w);

    answer([](QWidget *box) {
        auto *m = qobject_cast<QMessageBox *>(box);
        QVERIFY(m->button(QMessageBox::Abort));
        QCOMPARE(m->icon(), QMessageBox::Critical);
        m->button(QMessageBox::Abort)->click();
    });
    sink.errorAbort("Cannot open file", "FileOpen Error");
    QCOMPARE(seen.last(), QStringLiteral("FileOpen Error|Cannot open file"));

    answer([](QWidget *box) {
        auto *m = qobject_cast<QMessageBox *>(box);
        m->button(QMessageBox::No)->click();
    });
    QVERIFY(!sink.confirm("Save", "Save the changes?"));
    answer([](QWidget *box) {
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
    });
    QVERIFY(sink.confirm(QString(), "Really?"));
    QCOMPARE(seen.last(), QStringLiteral("Veltra|Really?"));

    answer([](QWidget *box) {
        auto *d = qobject_cast<QInputDialog *>(box);
        QCOMPARE(d->textValue(), QStringLiteral("/home/user"));
        d->setTextValue("/data");
        d->accept();
    });
    QCOMPARE(sink.input("Local Drive Letter", "Base folder", "/home/user").value_or("none"),
             QStringLiteral("/data"));

    answer([](QWidget *box) {
        auto *d = qobject_cast<QInputDialog *>(box);
        QCOMPARE(d->textEchoMode(), QLineEdit::Password);
        d->setTextValue("secret");
        d->accept();
    });
    QCOMPARE(sink.password("Password", "Archive password").value_or("none"), QStringLiteral("secret"));

    answer([](QWidget *box) { qobject_cast<QInputDialog *>(box)->reject(); });
    QVERIFY(!sink.input("Go To Page", "Page?").has_value());

    // A worker thread's box opens on the window's thread; the worker waits
    // for the answer.
    QTimer closer;
    connect(&closer, &QTimer::timeout, [] {
        if (auto *m = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            QVERIFY(m->thread() == qApp->thread());
            m->button(QMessageBox::Yes)->click();
        }
    });
    closer.start(10);
    std::atomic<int> result{-1};
    std::thread worker([&] { result = sink.confirm("Loader", "Go on?") ? 1 : 0; });
    QTRY_COMPARE(result.load(), 1);
    worker.join();
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
