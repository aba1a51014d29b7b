#pragma once
// TVeltraFm: the main window. It owns the widgets (menus, tool bar, panes,
// status bar, timers) and gives every one its name as objectName; the
// subsystems find what they drive by name, e.g.
//     window.findChild<QAction *>("PageDownMu")
//     window.findChild<veltra::ReportPane *>("OvcEditorRB")
// and connect their handler slots (PageDownMuClick, FindMuClick, ...) to the
// action's triggered() signal. Popup items, tool bar buttons and menu-bar
// copies of a command forward to the main-menu action of the command, so one
// connection to that action serves all of them (a click on an enabled twin
// always reaches the handler, even while the menu item itself is greyed).
//
// Object names
// ------------
// Main menu (QMenu and its menuAction share the name):
//   File1 "&File": Openmu, ReopenMu, SaveToFileMu, ArchiveMu, FileLine01,
//       PrintMu, FileLine02, ExitMu
//   Edit1 "&Edit": CopyMu, ParseNCopyBarMu, EditLine01, FindMu, RepeatFindMu,
//       CrossFileSearchMU, EditLine02, FirstPageMU, PageUpMu, PageDownMu,
//       LastPageMU, GoToPageMU, EditLine03, BookmarkMu, NotesMu
//   View1 "&View": CleanScreenMU, ToolBarMu (OneRowTBMu, TwoRowTBMu),
//       StatusBarMu (ShowSBMu, HideSBMu), ViewLine01,
//       GreenBarGrayBarMu (GGBarBlue, GGBarGray, GGBarGreen, GGBarNone),
//       ZoomInMu, ZoomOutMu, SyncColumnsMu
//   menu-bar items (Clean Screen mode only): PrintMMU, FindMMU,
//       RepeatFindMMU, CrossFileSearchMMU ("xRptSrc"), FirstPageMMU,
//       PrevPageMMU, NextPageMMu, LastPageMMU, GoToPageMMU
//   Help1 "&Help": ContentsMu, SearchMu, HelpLine01, SalesMu,
//       TechnicalSupportMu, AboutMu
// Popup MainPopupMenu, in order: CleanScreenPU, PULine01, HelpPU, OpenPU,
//   ReopenPU, PrintPu, ExitPU, PULine02, FindPU, RepeatFindPU,
//   CrossFileSearchPU, PULine03, CopyPu, ParseNCopyBarPU, FirstPagePU,
//   PrevPagePU, NextPagePU, LastPagePU, GoToPagePU, PULine04,
//   GreenBarGrayBarPU (GGBarBluePU, GGBarGrayPU, GGBarGreenPU, GGBarNonePU),
//   ZoomInPU, ZoomOutPu, LockColumnPu, PULine05, BookMarkPU, NotesPU
// Tool bar: ToolBarPanel > ToolBarScrllBx (rows ToolBarRow1, ToolBarRow2)
//   row 1: AppExitBtn, HelpSBtn, OpenSBtn, ReopenSBtn, PrintSBtn, FindSBtn,
//       CrossFileSearchBtn, CopyLMDOffcBtn, PCopyLMDOffcBtn, PageUpLMDOfBtn,
//       PageDownLMDOfBtn, BkMrkLMDOBtn, ZoomInSBtn, ZoomOutSBtn
//   row 2: ViewFontLb, ViewFontRzFontComboBox, LockColRzChkBx,
//       SaveToFileSBtn, ArchiveSBtn, CurLineLB, CurColLB,
//       GetInternalValueBtn, HexLb, DecimalLb
// Bars: SvToFlRzTbar (hidden, empty), ParseNCopyTBar (hidden, holds
//   PnCOvcEdt)
// View: NotesRzSplitter > RzSplitter > RzSplitterL (OvcEditorLH above
//   OvcEditorLB), RzSplitterR (OvcEditorRH above OvcEditorRB); notes area
//   NotesAreaPanel with NotesToolBar and NoteMemo
// Status bar RzStatusBar1: NotesAvailLSpdBtn, RptDescRzBtn (its edit button
//   the action RptDescRzBtnButton), FndRzPanel (RepeatFndBtn,
//   FndLMDScrlTxt2, RFSrchTPgsLb, StopSBtn2), GoToBtn, PageLb, CurrPageRzSP,
//   OfLb, MaxPagesLb, hidden PageOfLb
// Timers (inactive at start): NotesTimer1 500 ms, LeftColumnTimer 5 ms,
//   OvcTimerPool1 100 ms (the foreground follow trigger)
//
// Handlers on this window: CleanScreenMUClick, OneRowTBMuClick,
// TwoRowTBMuClick, ShowSBMuClick, HideSBMuClick, FormResize, ExitMuClick.
// Every other action is left for its subsystem to connect. Items that share
// a handler: NotesMu and NotesAvailLSpdBtn (NotesAvailLSpdBtnClick, the
// button forwards to NotesMu); SyncColumnsMu, LockColumnPu and
// LockColRzChkBx (LockColumnPuClick; the three keep one checked state and
// forward to SyncColumnsMu); RepeatFndBtn and RepeatFindMMU forward to
// RepeatFindMu; CrossFileSearchMMU and CrossFileSearchPU to
// CrossFileSearchMU; HelpPU and HelpSBtn to ContentsMu; ExitPU and AppExitBtn
// to ExitMu. GoToBtn (GoToBtnClick), GetInternalValueBtn,
// ViewFontRzFontComboBox and RptDescRzBtnButton have handlers of their own
// and are not forwarded.
//
// Status bar and the user's choice: a status bar hidden with "Hide" (or by
// the StatusBar setting at start) stays hidden across page changes until
// "Show" is chosen or Clean Screen mode is left; applying the command states
// in normal mode keeps the user's choice instead of showing the bar again.
//
// Key preview: every key pressed in a control of this window goes first to
// the handler given to setKeyHandler(); when it returns true the key is
// consumed, otherwise it reaches the focused control as usual.

#include "viewer/commandstates.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QKeyEvent;
class QMenu;
class QSplitter;

namespace veltra {

class ReportPane;

class TVeltraFm : public QMainWindow {
    Q_OBJECT
public:
    explicit TVeltraFm(QWidget *parent = nullptr);
    ~TVeltraFm() override;

    // The panes by number: 1 OvcEditorLH, 2 OvcEditorRH, 3 OvcEditorLB,
    // 4 OvcEditorRB; nullptr for other numbers.
    ReportPane *pane(int number) const;
    ReportPane *designEditor() const;  // PnCOvcEdt
    QMenu *popupMenu() const;          // MainPopupMenu

    // Any named control, action, menu or timer (actions win over a menu of
    // the same name). Looked up once and remembered.
    QObject *named(const QString &name) const;
    QAction *action(const QString &name) const;

    // --- Key preview ---
    using KeyHandler = std::function<bool(QKeyEvent *)>;
    void setKeyHandler(KeyHandler handler);

    // --- Command states ---
    // Applies changes by object name; returns the names found nowhere (the
    // bars of later features may not exist yet).
    QStringList applyCommandChanges(const CommandChanges &changes);
    // Normal or Clean Screen mode with the mirrors (after every change of
    // command states).
    void applyCommandStates();
    // Report commands greyed, splitters locked, clipboard emptied. The view
    // rules (split rules, navigation hold, active pane) belong to the viewer.
    void setNoReportState();
    // Report commands enabled after the first page is shown; the Hex and
    // Decimal labels emptied; command states applied.
    void setReportLoadedState(const LoadedSwitches &switches, bool reportIsArchived);
    // The feature switches applied at first show (also sets the menu help
    // context numbers, property "helpContext", when help is enabled).
    void applyFeatureSwitches(const FeatureSwitches &switches);

    bool cleanScreen() const { return cleanScreen_; }
    // Sets the clean-screen flag without applying it (start-up).
    void setCleanScreen(bool on);
    bool reportLibraryMode() const { return reportLibraryMode_; }
    // Also greys the cross-report command and shows it only in this mode.
    void setReportLibraryMode(bool on);

    int toolBarRows() const { return twoRows_ ? 2 : 1; }
    void setToolBarRows(int rows);  // start-up: NumOfToolbarRows
    // The user's status bar choice (Show/Hide); start-up: StatusBar setting.
    bool statusBarChosen() const { return !statusBarHidden_; }
    void setStatusBarShown(bool shown);

    // Where a dialog opened from the status bar area goes: centred on this
    // window, its lower edge 5 pixels above the status bar (above the
    // window's bottom edge while the status bar is hidden). Global coordinates.
    QPoint dialogPosAboveStatusBar(const QSize &dialogSize) const;
    void placeAboveStatusBar(QWidget *dialog) const;

    static bool splitterLocked(const QSplitter *splitter);
    static void setSplitterLocked(QSplitter *splitter, bool locked);

public slots:
    void CleanScreenMUClick();
    void OneRowTBMuClick();
    void TwoRowTBMuClick();
    void ShowSBMuClick();
    void HideSBMuClick();
    void FormResize();
    void ExitMuClick();

signals:
    void cleanScreenChanged(bool on);
    // A mouse press in the page box CurrPageRzSP (CurrPageRzSPClick).
    void pageBoxClicked();
    // The focus arrived at the "&Go To" button (GoToBtnEnter).
    void goToButtonEntered();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus();
    void buildPopup();
    void buildToolBar(QWidget *central);
    void buildBars(QWidget *central);
    void buildViewArea(QWidget *central);
    void buildStatusBar();
    void buildTimers();
    void syncRadioChecks();

    ReportPane *panes_[4] = {};
    ReportPane *designEditor_ = nullptr;
    QMenu *popup_ = nullptr;
    KeyHandler keyHandler_;
    mutable QHash<QString, QPointer<QObject>> names_;

    bool cleanScreen_ = false;
    bool wasCleanScreen_ = false;
    bool reportLibraryMode_ = false;
    bool twoRows_ = false;
    bool statusBarHidden_ = false;
};

} // namespace veltra
