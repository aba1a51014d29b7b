#include "viewer/navigator.h"

#include "document/loader.h"
#include "document/pagetext.h"
#include "document/reportdocument.h"
#include "platform/messagesink.h"

namespace veltra {

namespace {

const QString Unknown = QStringLiteral("???");

// Restores a flag on every way out of a scope.
struct FlagGuard {
    bool &flag;
    explicit FlagGuard(bool &f) : flag(f) { flag = true; }
    ~FlagGuard() { flag = false; }
};

} // namespace

Navigator::Navigator(ReportDocument &doc, NavigationHost &host, Loader *loader)
    : doc_(doc), host_(host), loader_(loader)
{
}

bool Navigator::loaderActive() const
{
    return doc_.ScanRunning.load() || doc_.UnzipRunning.load();
}

bool Navigator::blocked() const
{
    return NavigationHold == 'S' || changing_ || !reportOpen_;
}

void Navigator::holdLoader()
{
    if (loader_ && loaderActive()) {
        loader_->holdLoader();
        ++held_;
    }
}

void Navigator::releaseLoader()
{
    if (held_ > 0) {
        --held_;
        loader_->releaseLoader();
    }
}

bool Navigator::waitForPages(qint64 pages, bool sleep)
{
    const quint64 generation = generation_;
    while (countText_ == Unknown && doc_.PageCount() <= pages && loaderActive()) {
        host_.processEvents();
        if (generation != generation_)
            return false;
        host_.sleepMs(sleep ? 5 : 1);
    }
    // The loader's last steps (the final count) may still be queued.
    host_.processEvents();
    return generation == generation_;
}

void Navigator::updatePageCommands(qint64 page)
{
    if (!reportOpen_) {
        host_.setPageCommands(PageCommandStates{});
        return;
    }
    host_.setPageCommands(PageCommandsFor(page, doc_.PageCount(), countText_));
}

void Navigator::navigationStart()
{
    host_.setHourglass(true);
    NavigationHold = 'S';
    host_.setPageCommands(PageCommandStates{});
    if (host_.goToButtonEnabled())
        host_.setGoToButtonEnabled(false);
    host_.processEvents();
}

void Navigator::navigationEnd()
{
    updatePageCommands(doc_.CurrPage.load());
    NavigationHold = 'G';
    host_.setHourglass(false);
    host_.processEvents();
}

QByteArray Navigator::readPage(qint64 page)
{
    navigationStart();
    QByteArray text = PageDisplayText(doc_, page);
    navigationEnd();
    return text;
}

void Navigator::showPage(qint64 page)
{
    const QByteArray text = readPage(page);
    host_.presentPage(page, text);
    doc_.CurrPage = page;
    goToArmed_ = false;
    host_.setPageBox(QString::number(page), false);
    host_.setPageOfLabel(QStringLiteral("Page ") + QString::number(page) + QStringLiteral(" of "));
    host_.processEvents();
    host_.pageChanged(page);
}

void Navigator::PageUpMuClick()
{
    if (blocked())
        return;
    FlagGuard busy(changing_);
    NavigationHold = 'S';
    holdLoader();
    const qint64 current = doc_.CurrPage.load();
    if (current > 1) {
        navigationStart();
        showPage(current - 1);
        navigationEnd();
        updatePageCommands(doc_.CurrPage.load());
    }
    releaseLoader();
    NavigationHold = 'G';
}

void Navigator::PageDownMuClick()
{
    if (blocked())
        return;
    FlagGuard busy(changing_);
    NavigationHold = 'S';
    navigationStart();
    const qint64 current = doc_.CurrPage.load();
    const qint64 next = current + 1;
    bool show = true;
    if (countText_ != Unknown) {
        show = current < doc_.PageCount();
    } else {
        // A page is shown once the page after it is known or the scan ended.
        if (!waitForPages(next, false))
            return;
        show = doc_.PageCount() >= next;
    }
    if (show) {
        holdLoader();
        showPage(next);
        releaseLoader();
    }
    navigationEnd();
    updatePageCommands(doc_.CurrPage.load());
    NavigationHold = 'G';
}

void Navigator::FirstPageMUClick()
{
    if (blocked())
        return;
    FlagGuard busy(changing_);
    host_.setPageBox(QStringLiteral("1"), true);
    doc_.CurrPage = 1;
    host_.setHourglass(true);
    showPage(1);
    host_.setPageBoxTyping(false);
    host_.setHourglass(false);
    host_.processEvents();
}

void Navigator::LastPageMUClick(QChar letter)
{
    if (blocked())
        return;
    FlagGuard busy(changing_);
    const quint64 generation = generation_;
    host_.setPageBox(QString(letter), true);
    const bool showForWait = countText_ == Unknown && !host_.statusBarVisible();
    if (showForWait)
        host_.setStatusBarVisible(true);
    doc_.ShowCountWhileScanning = true;
    host_.processEvents();
    const bool working = loaderActive();
    if (working) {
        host_.showWorkingWindow(true);
        if (loader_)
            loader_->setTimeCritical();
    }
    while (countText_ == Unknown && loaderActive() && generation == generation_) {
        host_.processEvents();
        host_.sleepMs(5);
    }
    host_.processEvents();
    if (showForWait)
        host_.setStatusBarVisible(false);
    if (generation == generation_ && doc_.PageCount() > 0) {
        doc_.CurrPage = doc_.PageCount();
        host_.setHourglass(true);
        showPage(doc_.PageCount());
        host_.setPageBoxTyping(false);
        host_.setHourglass(false);
        host_.processEvents();
    }
    if (working)
        host_.showWorkingWindow(false);
}

void Navigator::GoToPage(qint64 page)
{
    if (!reportOpen_)
        return;
    FlagGuard busy(changing_);
    const quint64 generation = generation_;
    navigationStart();
    host_.processEvents();
    if (countText_ == Unknown && doc_.PendingGoToPage.load() == 0 && loaderActive()) {
        // The loader shows the page once it has found it; until then the
        // page commands stay greyed.
        doc_.PendingGoToPage = page;
        return;
    }
    if (countText_ == Unknown && !waitForPages(page - 1, false))
        return;
    if (generation != generation_)
        return;
    if (doc_.PageCount() > 0)
        showPage(ClampGoToPage(page, doc_.PageCount()));
    host_.processEvents();
    releaseLoader();
    navigationEnd();
    updatePageCommands(doc_.CurrPage.load());
    host_.setPageBox(QString::number(doc_.CurrPage.load()), false);
    host_.setGoToButtonEnabled(false);
    host_.processEvents();
    host_.processEvents();
    host_.focusBodyPane();
}

void Navigator::GoToPageMUClick()
{
    if (blocked())
        return;
    for (;;) {
        const auto answer = host_.messages().input(QStringLiteral("Go To Page"),
                                                   GoToPrompt(host_.pageBoxText(), countText_));
        if (!answer)
            return;
        const GoToAnswer checked = CheckGoToAnswer(*answer);
        if (!checked.page) {
            host_.messages().errorOk(checked.error, QStringLiteral("Go To Page"));
            continue;
        }
        host_.setPageBox(*answer, false);
        GoToPage(*checked.page);
        return;
    }
}

void Navigator::GoToBtnClick()
{
    if (blocked())
        return;
    bool ok = false;
    const qint64 page = host_.pageBoxText().trimmed().toLongLong(&ok);
    if (!ok) {
        // Nothing typed: the page box shows the current page again.
        goToArmed_ = false;
        host_.setPageBox(QString::number(doc_.CurrPage.load()), false);
        host_.setGoToButtonEnabled(false);
        host_.focusBodyPane();
        return;
    }
    GoToPage(page);
}

void Navigator::GoToBtnEnter()
{
    host_.setPageBox(QString(), true);
    goToArmed_ = true;
}

void Navigator::CurrPageRzSPClick()
{
    if (!reportOpen_ || changing_)
        return;
    NavigationHold = 'G';
    host_.setGoToButtonEnabled(true);
    host_.setPageBoxTyping(true);
}

bool Navigator::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (NavigationHold == 'S' || host_.hourglass() || changing_)
        return false;
    modifiers &= ~Qt::KeypadModifier;
    if (modifiers == Qt::ShiftModifier || modifiers == Qt::AltModifier || modifiers == Qt::ControlModifier)
        return false;
    auto command = [this](const char *name) {
        if (host_.commandEnabled(QLatin1String(name)))
            host_.runCommand(QLatin1String(name));
        return true;
    };
    switch (key) {
    case Qt::Key_F2:
        return command("FindMu");
    case Qt::Key_F4:
        return command("Openmu");
    case Qt::Key_F6:
        return command("PrintMu");
    case Qt::Key_F7:
        if (host_.commandEnabled(QStringLiteral("PageUpMu")))
            PageUpMuClick();
        return true;
    case Qt::Key_F8:
        if (host_.commandEnabled(QStringLiteral("PageDownMu")))
            PageDownMuClick();
        return true;
    case Qt::Key_Backspace: {
        QString text = host_.pageBoxText();
        text.chop(1);
        host_.setPageBox(text, goToArmed_);
        return true;
    }
    case Qt::Key_Escape:
        goToArmed_ = false;
        host_.setPageBox(QString::number(doc_.CurrPage.load()), false);
        host_.focusBodyPane();
        host_.setGoToButtonEnabled(false);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses "&Go To" while it has the focus, that is while a
        // number is being typed.
        if (!goToArmed_)
            return false;
        GoToBtnClick();
        return true;
    default:
        return false;
    }
}

bool Navigator::FormKeyPress(QChar c)
{
    if (NavigationHold == 'S' || host_.hourglass() || changing_)
        return false;
    if (c.isDigit() && c.unicode() < 128) {
        if (host_.cleanScreen())
            return true;
        if (!goToArmed_) {
            if (!host_.goToButtonEnabled())
                host_.setGoToButtonEnabled(true);
            host_.focusGoToButton();
            if (!goToArmed_)
                GoToBtnEnter();
        }
        host_.processEvents();
        host_.setPageBox(host_.pageBoxText() + c, true);
        return true;
    }
    switch (c.unicode()) {
    case 'B': case 'E': case 'L': case 'b': case 'e': case 'l':
        LastPageMUClick(c);
        return true;
    case 'F': case 'T': case 'f': case 't':
        FirstPageMUClick();
        return true;
    default:
        return false;
    }
}

void Navigator::reportClosed()
{
    ++generation_;
    reportOpen_ = false;
    NavigationHold = 'S';
    countText_ = Unknown;
    goToArmed_ = false;
    doc_.ShowCountWhileScanning = false;
    while (held_ > 0)
        releaseLoader();
}

void Navigator::reportLoaded()
{
    reportOpen_ = true;
    NavigationHold = 'G';
    doc_.PendingGoToPage = 0;
}

} // namespace veltra
