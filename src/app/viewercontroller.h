#pragma once
// The glue between the main window and the viewer: it serves the loader's
// synchronized steps, gives navigation and presentation the window's
// controls, and connects the page commands, the page box, the keys and the
// panes' scroll events to their handlers.

#include "document/loader.h"
#include "viewer/navigator.h"
#include "viewer/presenter.h"
#include "viewer/viewstate.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>

class QKeyEvent;

namespace veltra {

class ReportDocument;
class ReportPane;
class MessageSink;
class TVeltraFm;
class TWorkFm;
struct LoadedSwitches;

class ViewerController : public QObject, public LoaderHost, public NavigationHost, public PresenterHost {
    Q_OBJECT
public:
    ViewerController(TVeltraFm &window, ReportDocument &doc, MessageSink &messages,
                     ArchiveAccess *archives);
    ~ViewerController() override;

    Loader &loader() { return *loader_; }
    Navigator &navigator() { return *navigator_; }
    PagePresenter &presenter() { return *presenter_; }
    ViewState &view() { return view_; }

    // Feature switches for the report-loaded step.
    std::function<LoadedSwitches()> loadedSwitches;
    // The report closed by the loader (reopen list, Save to File, ...).
    std::function<void()> onReportClosing;
    bool closing = false;       // the program is closing: the view is not reset
    bool reportLibraryMode = false;

    // The state with no report open (start-up and after a report closed).
    void setNoReportState();
    // Panes back to one blank line, splitters at 0, page box, page label and
    // page count empty (start-up and a closed report).
    void resetView();

    // --- LoaderHost ---
    void synchronize(const std::function<void()> &step) override;
    MessageSink &messages() override { return messages_; }
    void closeReport() override;
    void showReportName(const QString &nameAndDate) override;
    void showIdentity() override;
    void showFirstPage() override;
    void showPageCount(const QString &text, bool final) override;
    void showUnzipPercent(int percent) override;
    void goToPage(qint64 page) override;
    void goToLastPage() override;
    void restorePageCommands() override;
    void greyPageCommands() override;
    void setPlainGreenBarEntries(bool enabled) override;

    // --- NavigationHost ---
    void processEvents() override;
    void sleepMs(int ms) override;
    void setHourglass(bool on) override;
    bool hourglass() const override { return hourglass_; }
    void presentPage(qint64 page, const QByteArray &displayText) override;
    void setPageCommands(const PageCommandStates &states) override;
    void setGoToButtonEnabled(bool enabled) override;
    bool goToButtonEnabled() const override;
    void focusGoToButton() override;
    void setPageBox(const QString &text, bool typing) override;
    QString pageBoxText() const override;
    void setPageBoxTyping(bool typing) override;
    void setPageOfLabel(const QString &text) override;
    bool statusBarVisible() const override;
    void setStatusBarVisible(bool visible) override;
    void showWorkingWindow(bool show) override;
    void focusBodyPane() override;
    bool cleanScreen() const override;
    bool commandEnabled(const QString &actionName) const override;
    void runCommand(const QString &actionName) override;
    void pageChanged(qint64 page) override;

    // --- PresenterHost ---
    int rowSplitPosition() const override;
    void applySplits(qint64 page, bool first) override;
    void updatePageCommands(qint64 page) override;
    void notesPageShown(qint64 page) override;

signals:
    // The first page of a newly opened report is in view (the loader waits
    // until the connected slots return).
    void firstPageShown(qint64 page);

private:
    bool handleKey(QKeyEvent *event);
    void setEnabled(const char *name, bool enabled);
    void setCountLabel(const QString &text, bool red);
    void resetSplitters();

    TVeltraFm &fm_;
    ReportDocument &doc_;
    MessageSink &messages_;
    ViewState view_;
    std::unique_ptr<PagePresenter> presenter_;
    std::unique_ptr<Loader> loader_;
    std::unique_ptr<Navigator> navigator_;
    TWorkFm *work_ = nullptr;
    bool hourglass_ = false;
};

} // namespace veltra
