#include "app/viewercontroller.h"

#include "app/mainwindow.h"
#include "app/workwindow.h"
#include "document/reportdocument.h"
#include "document/reportsource.h"
#include "platform/messagesink.h"
#include "viewer/commandstates.h"
#include "viewer/reportpane.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

namespace veltra {

// --- ViewerController ---

ViewerController::ViewerController(TVeltraFm &window, ReportDocument &doc, MessageSink &messages,
                                   ArchiveAccess *archives)
    : fm_(window), doc_(doc), messages_(messages)
{
    std::array<PaneView *, 4> views{};
    for (int n = 1; n <= 4; ++n)
        views[size_t(n - 1)] = fm_.pane(n);
    presenter_ = std::make_unique<PagePresenter>(view_, views, *this);
    loader_ = std::make_unique<Loader>(doc_, *this, archives);
    navigator_ = std::make_unique<Navigator>(doc_, *this, loader_.get());
    work_ = new TWorkFm(&fm_);

    Navigator *nav = navigator_.get();
    auto connectAction = [this](const char *name, auto slot) {
        if (QAction *a = fm_.action(QLatin1String(name)))
            connect(a, &QAction::triggered, this, slot);
    };
    connectAction("PageUpMu", [nav] { nav->PageUpMuClick(); });
    connectAction("PageDownMu", [nav] { nav->PageDownMuClick(); });
    connectAction("FirstPageMU", [nav] { nav->FirstPageMUClick(); });
    connectAction("LastPageMU", [nav] { nav->LastPageMUClick(QLatin1Char('B')); });
    connectAction("GoToPageMU", [nav] { nav->GoToPageMUClick(); });
    if (auto *goTo = qobject_cast<QAbstractButton *>(fm_.named(QStringLiteral("GoToBtn"))))
        connect(goTo, &QAbstractButton::clicked, this, [nav] { nav->GoToBtnClick(); });
    if (auto *box = qobject_cast<QLineEdit *>(fm_.named(QStringLiteral("CurrPageRzSP"))))
        box->setReadOnly(true);  // typed through the window's keys
    connect(&fm_, &TVeltraFm::pageBoxClicked, this, [nav] { nav->CurrPageRzSPClick(); });
    connect(&fm_, &TVeltraFm::goToButtonEntered, this, [nav] { nav->GoToBtnEnter(); });

    // Pane events: scroll synchronisation, the active and the clicked pane.
    PagePresenter *p = presenter_.get();
    const std::array<void (PagePresenter::*)(int), 4> topChanged = {
        &PagePresenter::OvcEditorLHTopLineChanged, &PagePresenter::OvcEditorRHTopLineChanged,
        &PagePresenter::OvcEditorLBTopLineChanged, &PagePresenter::OvcEditorRBTopLineChanged};
    for (int n = 1; n <= 4; ++n) {
        ReportPane *pane = fm_.pane(n);
        auto handler = topChanged[size_t(n - 1)];
        connect(pane, &ReportPane::topLineChanged, this, [p, handler](int line) { (p->*handler)(line); });
        connect(pane, &ReportPane::entered, this, [this, n] { view_.ActivePane = n; });
        connect(pane, &ReportPane::clicked, this, [this, n] { view_.ClickedPane = n; });
    }
    fm_.setKeyHandler([this](QKeyEvent *e) { return handleKey(e); });
}

ViewerController::~ViewerController()
{
    fm_.setKeyHandler({});
    loader_->stopAndWait([] { QCoreApplication::processEvents(); });
}

bool ViewerController::handleKey(QKeyEvent *e)
{
    if (navigator_->FormKeyDown(e->key(), e->modifiers()))
        return true;
    const QString text = e->text();
    if (text.size() == 1 && text[0].isPrint()
        && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return navigator_->FormKeyPress(text[0]);
    return false;
}

void ViewerController::setEnabled(const char *name, bool enabled)
{
    if (QObject *o = fm_.named(QLatin1String(name))) {
        if (auto *a = qobject_cast<QAction *>(o))
            a->setEnabled(enabled);
        else if (auto *w = qobject_cast<QWidget *>(o))
            w->setEnabled(enabled);
    }
}

void ViewerController::setCountLabel(const QString &text, bool red)
{
    if (auto *l = qobject_cast<QLabel *>(fm_.named(QStringLiteral("MaxPagesLb")))) {
        l->setText(text);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, red ? QColor(Qt::red) : QColor(0, 128, 0));
        l->setPalette(pal);
    }
}

void ViewerController::resetSplitters()
{
    for (const char *name : {"RzSplitterL", "RzSplitterR", "RzSplitter"}) {
        if (auto *s = qobject_cast<QSplitter *>(fm_.named(QLatin1String(name)))) {
            int total = 0;
            for (int size : s->sizes())
                total += size;
            s->setSizes({0, std::max(total, 1)});
        }
    }
}

void ViewerController::setNoReportState()
{
    doc_.ShowCountWhileScanning = false;
    navigator_->reportClosed();
    view_.ActivePane = view_.ClickedPane = 0;
    fm_.setNoReportState();
    fm_.applyCommandStates();
}

void ViewerController::resetView()
{
    setCountLabel(QString(), false);
    resetSplitters();
    presenter_->clearPanes();
    setPageBox(QString(), false);
    setPageOfLabel(QString());
}

// --- LoaderHost ---

void ViewerController::synchronize(const std::function<void()> &step)
{
    if (QThread::currentThread() == thread()) {
        step();
        return;
    }
    QMetaObject::invokeMethod(this, [&step] { step(); }, Qt::BlockingQueuedConnection);
}

void ViewerController::closeReport()
{
    if (onReportClosing)
        onReportClosing();
    CloseReportFile(doc_);
    doc_.DirectArchivePaging = false;
    doc_.directArchiveRead = nullptr;
    if (closing)
        return;
    if (auto *box = qobject_cast<QScrollArea *>(fm_.named(QStringLiteral("ToolBarScrllBx"))))
        box->horizontalScrollBar()->setValue(0);
    doc_.UnzipPurpose.clear();
    setEnabled("ArchiveMu", true);
    resetView();
    setNoReportState();
}

void ViewerController::showReportName(const QString &nameAndDate)
{
    if (auto *l = qobject_cast<QLabel *>(fm_.named(QStringLiteral("RptNameLb"))))
        l->setText(nameAndDate);
}

void ViewerController::showIdentity()
{
    if (QObject *d = fm_.named(QStringLiteral("RptDescRzBtn"))) {
        d->setProperty("text", doc_.RptDescription);
        if (auto *w = qobject_cast<QWidget *>(d))
            w->setToolTip(doc_.RptPath + QLatin1Char(' ') + doc_.RptDateTime);
    }
    QString caption = doc_.caption();
    if (reportLibraryMode && !doc_.RptDescription.isEmpty())
        caption = QStringLiteral("Veltra - ") + doc_.RptDescription.toLower();
    fm_.setWindowTitle(caption);
}

void ViewerController::showFirstPage()
{
    if (doc_.FirstShownPage.load() == 0)
        return;
    // A newly opened report: splitters at 0, positions back to the start.
    resetSplitters();
    view_.resetForNewReport();
    if (auto *t = qobject_cast<QTimer *>(fm_.named(QStringLiteral("LeftColumnTimer")))) {
        const bool active = t->isActive();
        t->stop();
        if (active)
            t->start();
    }
    const qint64 page = doc_.FirstShownPage.load();
    doc_.CurrPage = page;
    navigator_->setPageCountText(doc_.PageCountText);
    navigator_->reportLoaded();
    fm_.setReportLoadedState(loadedSwitches ? loadedSwitches() : LoadedSwitches{}, doc_.RptIsArchived);
    navigator_->showPage(page);
    setCountLabel(doc_.PageCountText, doc_.PageCountText != QLatin1String("???"));
    navigator_->updatePageCommands(page);
    setGoToButtonEnabled(false);
    setHourglass(false);
    emit firstPageShown(page);
}

void ViewerController::showPageCount(const QString &text, bool final)
{
    setCountLabel(text, final);
    if (final) {
        navigator_->setPageCountText(text);
        if (doc_.CurrPage.load() > 0 && navigator_->NavigationHold == 'G')
            navigator_->updatePageCommands(doc_.CurrPage.load());
    }
}

void ViewerController::showUnzipPercent(int percent)
{
    if (auto *l = qobject_cast<QLabel *>(fm_.named(QStringLiteral("ZipPercLb"))); l && l->isVisible())
        l->setText(QString::number(percent));
}

void ViewerController::goToPage(qint64 page)
{
    navigator_->GoToPage(page);
}

void ViewerController::goToLastPage()
{
    navigator_->GoToPage(doc_.PageCount());
    focusBodyPane();
}

void ViewerController::restorePageCommands()
{
    navigator_->updatePageCommands(doc_.CurrPage.load());
}

void ViewerController::greyPageCommands()
{
    setPageCommands(PageCommandStates{});
}

void ViewerController::setPlainGreenBarEntries(bool enabled)
{
    setEnabled("GreenBarGrayBarMu", enabled);
    setEnabled("GreenBarGrayBarPU", enabled);
}

// --- NavigationHost ---

void ViewerController::processEvents()
{
    QCoreApplication::processEvents();
}

void ViewerController::sleepMs(int ms)
{
    QThread::msleep(ulong(ms));
}

void ViewerController::setHourglass(bool on)
{
    if (on == hourglass_)
        return;
    hourglass_ = on;
    if (on)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void ViewerController::presentPage(qint64 page, const QByteArray &displayText)
{
    presenter_->presentPage(page, displayText);
}

void ViewerController::setPageCommands(const PageCommandStates &s)
{
    for (const char *n : {"PageUpMu", "PrevPagePU", "FirstPageMU", "FirstPagePU"})
        setEnabled(n, s.previous);
    for (const char *n : {"PageDownMu", "NextPagePU"})
        setEnabled(n, s.next);
    for (const char *n : {"LastPageMU", "LastPagePU"})
        setEnabled(n, s.last);
    for (const char *n : {"GoToPageMU", "GoToPagePU"})
        setEnabled(n, s.goTo);
    fm_.applyCommandStates();
}

void ViewerController::setGoToButtonEnabled(bool enabled)
{
    setEnabled("GoToBtn", enabled);
}

bool ViewerController::goToButtonEnabled() const
{
    auto *w = qobject_cast<QWidget *>(fm_.named(QStringLiteral("GoToBtn")));
    return w && w->isEnabled();
}

void ViewerController::focusGoToButton()
{
    if (auto *w = qobject_cast<QWidget *>(fm_.named(QStringLiteral("GoToBtn"))))
        w->setFocus();
}

void ViewerController::setPageBox(const QString &text, bool typing)
{
    if (auto *box = qobject_cast<QLineEdit *>(fm_.named(QStringLiteral("CurrPageRzSP"))))
        box->setText(text);
    setPageBoxTyping(typing);
}

QString ViewerController::pageBoxText() const
{
    auto *box = qobject_cast<QLineEdit *>(fm_.named(QStringLiteral("CurrPageRzSP")));
    return box ? box->text() : QString();
}

void ViewerController::setPageBoxTyping(bool typing)
{
    auto *box = qobject_cast<QLineEdit *>(fm_.named(QStringLiteral("CurrPageRzSP")));
    if (!box)
        return;
    QFont f = box->font();
    f.setBold(typing);
    box->setFont(f);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Text, typing ? QColor(Qt::blue) : QColor(Qt::black));
    box->setPalette(pal);
}

void ViewerController::setPageOfLabel(const QString &text)
{
    if (auto *l = qobject_cast<QLabel *>(fm_.named(QStringLiteral("PageOfLb"))))
        l->setText(text);
}

bool ViewerController::statusBarVisible() const
{
    auto *sb = qobject_cast<QWidget *>(fm_.named(QStringLiteral("RzStatusBar1")));
    return sb && !sb->isHidden();
}

void ViewerController::setStatusBarVisible(bool visible)
{
    if (auto *sb = qobject_cast<QWidget *>(fm_.named(QStringLiteral("RzStatusBar1"))))
        sb->setVisible(visible);
}

void ViewerController::showWorkingWindow(bool show)
{
    if (show)
        work_->showWorking();
    else
        work_->hideWorking();
}

void ViewerController::focusBodyPane()
{
    fm_.pane(RightBodyPane)->setFocus();
}

bool ViewerController::cleanScreen() const
{
    return fm_.cleanScreen();
}

bool ViewerController::commandEnabled(const QString &actionName) const
{
    QAction *a = fm_.action(actionName);
    return a && a->isEnabled();
}

void ViewerController::runCommand(const QString &actionName)
{
    if (QAction *a = fm_.action(actionName))
        a->trigger();
}

void ViewerController::pageChanged(qint64)
{
}

// --- PresenterHost ---

int ViewerController::rowSplitPosition() const
{
    auto *s = qobject_cast<QSplitter *>(fm_.named(QStringLiteral("RzSplitterR")));
    return s && !s->sizes().isEmpty() ? s->sizes().first() : 0;
}

void ViewerController::applySplits(qint64, bool)
{
    // The row and column split rules come with the pane layout; until then
    // the splitters stay where the user put them.
}

void ViewerController::updatePageCommands(qint64 page)
{
    navigator_->updatePageCommands(page);
}

void ViewerController::notesPageShown(qint64)
{
}

} // namespace veltra
