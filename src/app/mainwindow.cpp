#include "app/mainwindow.h"

#include "viewer/reportpane.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace veltra {

namespace {

constexpr int kToolBarHeight = 39;
constexpr int kStatusBarHeight = 26;

// Captions and hints are written with the "\r\n" line breaks of the system's
// texts; the widgets break lines at "\n".
QString ui(const char *text)
{
    return QString::fromUtf8(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QAction *addItem(QMenu *menu, const char *name, const char *caption,
                 const QKeySequence &shortcut = {}, bool checkable = false)
{
    QAction *a = menu->addAction(ui(caption));
    a->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    a->setCheckable(checkable);
    return a;
}

QAction *addLine(QMenu *menu, const char *name)
{
    QAction *a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu *addSubMenu(QMenu *menu, const char *name, const char *caption)
{
    QMenu *sub = menu->addMenu(ui(caption));
    sub->setObjectName(QString::fromLatin1(name));
    sub->menuAction()->setObjectName(QString::fromLatin1(name));
    return sub;
}

// The twin runs the command of `main`, whatever the state of the main item.
void forward(QAction *twin, QAction *main)
{
    QObject::connect(twin, &QAction::triggered, main,
                     [main] { emit main->triggered(main->isChecked()); });
}

void forward(QAbstractButton *button, QAction *main)
{
    QObject::connect(button, &QAbstractButton::clicked, main,
                     [main] { emit main->triggered(main->isChecked()); });
}

// Keeps the checked state of two checkable actions equal.
void mirrorChecks(QAction *a, QAction *b)
{
    QObject::connect(a, &QAction::toggled, b, &QAction::setChecked);
    QObject::connect(b, &QAction::toggled, a, &QAction::setChecked);
}

QToolButton *toolButton(QWidget *parent, const char *name, const char *caption,
                        const char *hint = nullptr)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(ui(caption));
    if (hint)
        b->setToolTip(ui(hint));
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    QFont f = b->font();
    f.setPointSize(8);
    b->setFont(f);
    b->setFixedHeight(kToolBarHeight - 3);
    return b;
}

QLabel *label(QWidget *parent, const char *name, const char *caption, const char *hint = nullptr)
{
    auto *l = new QLabel(ui(caption), parent);
    l->setObjectName(QString::fromLatin1(name));
    if (hint)
        l->setToolTip(ui(hint));
    return l;
}

// A small "..." glyph for the edit button of the description box.
QIcon ellipsisIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    for (int x : {3, 7, 11})
        p.drawRect(x, 11, 2, 2);
    return QIcon(pm);
}

} // namespace

TVeltraFm::TVeltraFm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("VeltraFm"));
    setWindowTitle(QStringLiteral("Veltra"));

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("VeltraFmClient"));
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    buildMenus();
    buildPopup();
    buildToolBar(central);
    buildBars(central);
    buildViewArea(central);
    buildStatusBar();
    buildTimers();

    qApp->installEventFilter(this);
    resize(800, 600);
    // Born without a report: the report commands are greyed from the start
    // (the clipboard is left alone until the no-report step runs).
    applyCommandChanges(NoReportCommands());
}

TVeltraFm::~TVeltraFm()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

// --- Building ---

void TVeltraFm::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    auto topMenu = [&](const char *name, const char *caption) {
        QMenu *m = bar->addMenu(ui(caption));
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };

    QMenu *file = topMenu("File1", "&File");
    addItem(file, "Openmu", "&Open (F4)...", QKeySequence(Qt::CTRL | Qt::Key_O));
    addItem(file, "ReopenMu", "&Reopen...", QKeySequence(Qt::Key_F5));
    addItem(file, "SaveToFileMu", "&Save To File...", QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(file, "ArchiveMu", "&Archive...");
    addLine(file, "FileLine01");
    addItem(file, "PrintMu", "&Print (F6)...", QKeySequence(Qt::CTRL | Qt::Key_P));
    addLine(file, "FileLine02");
    QAction *exitMu = addItem(file, "ExitMu", "E&xit");
    connect(exitMu, &QAction::triggered, this, &TVeltraFm::ExitMuClick);

    QMenu *edit = topMenu("Edit1", "&Edit");
    addItem(edit, "CopyMu", "&Copy");
    addItem(edit, "ParseNCopyBarMu", "Parse N Copy B&ar...");
    addLine(edit, "EditLine01");
    addItem(edit, "FindMu", "&Find (F2)...", QKeySequence(Qt::CTRL | Qt::Key_F));
    addItem(edit, "RepeatFindMu", "Rep&eat Find", QKeySequence(Qt::Key_F3));
    addItem(edit, "CrossFileSearchMU", "Cross Report Search...");
    addLine(edit, "EditLine02");
    addItem(edit, "FirstPageMU", "First (&Top) Page")->setToolTip(ui("Or press the F key."));
    addItem(edit, "PageUpMu", "Pre&vious Page (F7)", QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    addItem(edit, "PageDownMu", "Ne&xt Page (F8)", QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    addItem(edit, "LastPageMU", "Last (&Bottom) Page")->setToolTip(ui("Or press the L key."));
    addItem(edit, "GoToPageMU", "&Go To Page...", QKeySequence(Qt::CTRL | Qt::Key_G));
    addLine(edit, "EditLine03");
    addItem(edit, "BookmarkMu", "Bookmarks...", QKeySequence(Qt::CTRL | Qt::Key_B));
    addItem(edit, "NotesMu", "N&otes...", QKeySequence(Qt::CTRL | Qt::Key_N));

    QMenu *view = topMenu("View1", "&View");
    QAction *clean =
        addItem(view, "CleanScreenMU", "Clean Screen", QKeySequence(Qt::CTRL | Qt::Key_K), true);
    connect(clean, &QAction::triggered, this, &TVeltraFm::CleanScreenMUClick);

    QMenu *rows = addSubMenu(view, "ToolBarMu", "Tool Bar");
    auto *rowGroup = new QActionGroup(rows);
    QAction *oneRow = addItem(rows, "OneRowTBMu", "One Row", {}, true);
    QAction *twoRows = addItem(rows, "TwoRowTBMu", "Two Rows", {}, true);
    rowGroup->addAction(oneRow);
    rowGroup->addAction(twoRows);
    oneRow->setChecked(true);
    connect(oneRow, &QAction::triggered, this, &TVeltraFm::OneRowTBMuClick);
    connect(twoRows, &QAction::triggered, this, &TVeltraFm::TwoRowTBMuClick);

    QMenu *sb = addSubMenu(view, "StatusBarMu", "Status Bar");
    auto *sbGroup = new QActionGroup(sb);
    QAction *show = addItem(sb, "ShowSBMu", "Show", {}, true);
    QAction *hide = addItem(sb, "HideSBMu", "Hide", {}, true);
    sbGroup->addAction(show);
    sbGroup->addAction(hide);
    show->setChecked(true);
    connect(show, &QAction::triggered, this, &TVeltraFm::ShowSBMuClick);
    connect(hide, &QAction::triggered, this, &TVeltraFm::HideSBMuClick);

    addLine(view, "ViewLine01");
    QMenu *effect = addSubMenu(view, "GreenBarGrayBarMu", "GreenBar Effect");
    auto *effectGroup = new QActionGroup(effect);
    for (auto [name, caption] : {std::pair{"GGBarBlue", "LightBlue"}, {"GGBarGray", "LightGray"},
                                 {"GGBarGreen", "MoneyGreen"}, {"GGBarNone", "None"}})
        effectGroup->addAction(addItem(effect, name, caption, {}, true));
    action(QStringLiteral("GGBarNone"))->setChecked(true);
    addItem(view, "ZoomInMu", "Zoom &In");
    addItem(view, "ZoomOutMu", "Zoom &Out");
    addItem(view, "SyncColumnsMu", "Sync Columns", {}, true)->setChecked(true);

    // Copies of the most used commands right on the menu bar, shown in Clean
    // Screen mode only.
    auto barItem = [&](const char *name, const char *caption, const char *mainName) {
        QAction *a = bar->addAction(ui(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(false);
        a->setVisible(false);
        forward(a, action(QString::fromLatin1(mainName)));
        return a;
    };
    barItem("PrintMMU", "Print", "PrintMu");
    barItem("FindMMU", "Find", "FindMu");
    barItem("RepeatFindMMU", "Repeat Fin&d", "RepeatFindMu");
    barItem("CrossFileSearchMMU", "xRptSrc", "CrossFileSearchMU");
    barItem("FirstPageMMU", "Fir&st Page", "FirstPageMU");
    barItem("PrevPageMMU", "&Prev Page", "PageUpMu");
    barItem("NextPageMMu", "&Next Page", "PageDownMu");
    barItem("LastPageMMU", "&Last Page", "LastPageMU");
    barItem("GoToPageMMU", "&Go to Page", "GoToPageMU");

    QMenu *help = topMenu("Help1", "&Help");
    addItem(help, "ContentsMu", "Contents");
    addItem(help, "SearchMu", "&Search...");
    addLine(help, "HelpLine01");
    addItem(help, "SalesMu", "Sa&les");
    addItem(help, "TechnicalSupportMu", "&Technical Support");
    addItem(help, "AboutMu", "&About Veltra32...");
}

void TVeltraFm::buildPopup()
{
    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("MainPopupMenu"));
    QMenu *p = popup_;

    auto item = [&](const char *name, const char *caption, const char *mainName,
                    bool checkable = false) {
        QAction *a = addItem(p, name, caption, {}, checkable);
        forward(a, action(QString::fromLatin1(mainName)));
        return a;
    };

    item("CleanScreenPU", "Clean Screen", "CleanScreenMU", true);
    addLine(p, "PULine01");
    item("HelpPU", "Help (F1)", "ContentsMu");
    item("OpenPU", "Open (F4)...", "Openmu");
    item("ReopenPU", "Reopen (F5)...", "ReopenMu");
    item("PrintPu", "Print (F6)...", "PrintMu");
    item("ExitPU", "Exit", "ExitMu");
    addLine(p, "PULine02");
    item("FindPU", "Find (F2)...", "FindMu");
    item("RepeatFindPU", "Repeat Find (F3)", "RepeatFindMu");
    QAction *cross = item("CrossFileSearchPU", "Cross Report Search...", "CrossFileSearchMU");
    addLine(p, "PULine03");
    item("CopyPu", "Copy", "CopyMu");
    item("ParseNCopyBarPU", "Parse N Copy Bar...", "ParseNCopyBarMu");
    item("FirstPagePU", "First Page", "FirstPageMU");
    item("PrevPagePU", "Previous Page (F7)", "PageUpMu");
    item("NextPagePU", "Next Page (F8)", "PageDownMu");
    item("LastPagePU", "Last Page", "LastPageMU");
    item("GoToPagePU", "Go To Page...", "GoToPageMU");
    addLine(p, "PULine04");

    QMenu *effect = addSubMenu(p, "GreenBarGrayBarPU", "GreenBar Effect");
    auto *effectGroup = new QActionGroup(effect);
    for (auto [name, mainName, caption] :
         {std::tuple{"GGBarBluePU", "GGBarBlue", "LightBlue"},
          {"GGBarGrayPU", "GGBarGray", "LightGray"},
          {"GGBarGreenPU", "GGBarGreen", "MoneyGreen"},
          {"GGBarNonePU", "GGBarNone", "None"}}) {
        QAction *a = addItem(effect, name, caption, {}, true);
        effectGroup->addAction(a);
        QAction *main = action(QString::fromLatin1(mainName));
        a->setChecked(main->isChecked());
        mirrorChecks(a, main);
        forward(a, main);
    }
    item("ZoomInPU", "Zoom In", "ZoomInMu");
    item("ZoomOutPu", "Zoom Out", "ZoomOutMu");
    QAction *lock = item("LockColumnPu", "Sync Columns", "SyncColumnsMu", true);
    lock->setChecked(true);
    mirrorChecks(lock, action(QStringLiteral("SyncColumnsMu")));
    addLine(p, "PULine05");
    item("BookMarkPU", "Bookmarks...", "BookmarkMu");
    item("NotesPU", "Notes...", "NotesMu");

    // The popup's cross-report item follows the menu item's enabled state.
    QAction *crossMu = action(QStringLiteral("CrossFileSearchMU"));
    connect(crossMu, &QAction::changed, cross,
            [cross, crossMu] { cross->setEnabled(crossMu->isEnabled()); });
}

void TVeltraFm::buildToolBar(QWidget *central)
{
    auto *panel = new QFrame(central);
    panel->setObjectName(QStringLiteral("ToolBarPanel"));
    panel->setFixedHeight(kToolBarHeight);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);

    auto *box = new QScrollArea(panel);
    box->setObjectName(QStringLiteral("ToolBarScrllBx"));
    box->setFrameShape(QFrame::NoFrame);
    box->setWidgetResizable(true);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    panelLayout->addWidget(box);

    auto *rows = new QWidget(box);
    rows->setObjectName(QStringLiteral("ToolBarRows"));
    auto *rowsLayout = new QVBoxLayout(rows);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->setSpacing(0);
    auto makeRow = [&](const char *name) {
        auto *row = new QWidget(rows);
        row->setObjectName(QString::fromLatin1(name));
        row->setFixedHeight(kToolBarHeight);
        auto *l = new QHBoxLayout(row);
        l->setContentsMargins(2, 1, 2, 1);
        l->setSpacing(2);
        rowsLayout->addWidget(row);
        return std::pair{row, l};
    };
    auto [row1, l1] = makeRow("ToolBarRow1");
    auto [row2, l2] = makeRow("ToolBarRow2");
    box->setWidget(rows);

    auto button = [&](const char *name, const char *caption, const char *hint,
                      const char *mainName) {
        QToolButton *b = toolButton(row1, name, caption, hint);
        if (mainName)
            forward(b, action(QString::fromLatin1(mainName)));
        l1->addWidget(b);
        return b;
    };
    button("AppExitBtn", "Exit", "Exit Veltra", "ExitMu");
    button("HelpSBtn", "Help", nullptr, "ContentsMu");
    button("OpenSBtn", "&Open\r\n  F4", nullptr, "Openmu");
    button("ReopenSBtn", "&Reopen\r\n    F5", nullptr, "ReopenMu");
    button("PrintSBtn", "&Print\r\n  F6", nullptr, "PrintMu");
    button("FindSBtn", "Fi&nd\r\n F2", nullptr, "FindMu");
    button("CrossFileSearchBtn", "  xRpt\r\nSearch", nullptr, "CrossFileSearchMU");
    button("CopyLMDOffcBtn", "&Copy", nullptr, "CopyMu");
    button("PCopyLMDOffcBtn", "P Copy\r\n  Bar...", "Show/Hide Parse N Copy Bar",
           "ParseNCopyBarMu");
    button("PageUpLMDOfBtn", "Prev Pg\r\n    F7", "Ctrl+Page Up", "PageUpMu");
    button("PageDownLMDOfBtn", "Next Pg\r\n    F8", "Ctrl+Page Down", "PageDownMu");
    button("BkMrkLMDOBtn", " &Book\r\nMarks", nullptr, "BookmarkMu");
    button("ZoomInSBtn", "Zoom\r\n   &In", nullptr, "ZoomInMu");
    button("ZoomOutSBtn", "Zoom\r\n  O&ut", nullptr, "ZoomOutMu");
    l1->addStretch(1);

    l2->addWidget(label(row2, "ViewFontLb", "View\r\nFont"));
    auto *font = new QFontComboBox(row2);
    font->setObjectName(QStringLiteral("ViewFontRzFontComboBox"));
    font->setToolTip(ui("Only True Type fonts can be Zoomed In/Out."));
    {
        const QSignalBlocker quiet(font);
        font->setCurrentFont(QFont(QStringLiteral("Courier New")));
    }
    font->setMaximumWidth(180);
    l2->addWidget(font);

    auto *lock = new QCheckBox(ui("Sync Columns"), row2);
    lock->setObjectName(QStringLiteral("LockColRzChkBx"));
    lock->setToolTip(ui("Sync Columns synchronizes the scrolling of the Left and Right view "
                        "areas when the viewing area is split on columns."));
    lock->setChecked(true);
    QAction *sync = action(QStringLiteral("SyncColumnsMu"));
    connect(lock, &QCheckBox::toggled, sync, &QAction::setChecked);
    connect(sync, &QAction::toggled, lock, &QCheckBox::setChecked);
    connect(lock, &QCheckBox::clicked, sync, [sync] { emit sync->triggered(sync->isChecked()); });
    l2->addWidget(lock);

    auto second = [&](const char *name, const char *caption, const char *mainName) {
        QToolButton *b = toolButton(row2, name, caption);
        if (mainName)
            forward(b, action(QString::fromLatin1(mainName)));
        l2->addWidget(b);
        return b;
    };
    second("SaveToFileSBtn", "Save To File...", "SaveToFileMu");
    second("ArchiveSBtn", "Archive...", "ArchiveMu");
    l2->addWidget(label(row2, "CurLineLB", "Current Ln:\r\n0",
                        "Current Line of the Cursor in the Right, Bottom View Area"));
    l2->addWidget(label(row2, "CurColLB", "Current Col:\r\n0",
                        "Current Column of the Cursor in the Right, Bottom View Area"));
    second("GetInternalValueBtn", "Get Hex/Dec", nullptr)
        ->setToolTip(ui("Place cursor in front of character and click this button."));
    l2->addWidget(label(row2, "HexLb", "Hex:"));
    l2->addWidget(label(row2, "DecimalLb", "Decimal:"));
    l2->addStretch(1);

    static_cast<QVBoxLayout *>(central->layout())->addWidget(panel);
}

void TVeltraFm::buildBars(QWidget *central)
{
    auto *column = static_cast<QVBoxLayout *>(central->layout());

    // Filled by the Save to File feature.
    auto *stf = new QFrame(central);
    stf->setObjectName(QStringLiteral("SvToFlRzTbar"));
    auto *stfLayout = new QHBoxLayout(stf);
    stfLayout->setContentsMargins(2, 2, 2, 2);
    stf->hide();
    column->addWidget(stf);

    // Filled by Parse N Copy; its design editor is a report pane.
    auto *pnc = new QFrame(central);
    pnc->setObjectName(QStringLiteral("ParseNCopyTBar"));
    auto *pncLayout = new QVBoxLayout(pnc);
    pncLayout->setContentsMargins(2, 2, 2, 2);
    designEditor_ = new ReportPane(pnc);
    designEditor_->setObjectName(QStringLiteral("PnCOvcEdt"));
    designEditor_->setScrollBars(ReportPane::ScrollBars::None);
    pncLayout->addWidget(designEditor_);
    pnc->hide();
    column->addWidget(pnc);
}

void TVeltraFm::buildViewArea(QWidget *central)
{
    auto *notesSplit = new QSplitter(Qt::Vertical, central);
    notesSplit->setObjectName(QStringLiteral("NotesRzSplitter"));

    auto *columns = new QSplitter(Qt::Horizontal, notesSplit);
    columns->setObjectName(QStringLiteral("RzSplitter"));

    auto sideSplitter = [&](const char *name) {
        auto *s = new QSplitter(Qt::Vertical, columns);
        s->setObjectName(QString::fromLatin1(name));
        s->setChildrenCollapsible(true);
        return s;
    };
    QSplitter *left = sideSplitter("RzSplitterL");
    QSplitter *right = sideSplitter("RzSplitterR");

    struct PaneDef {
        const char *name;
        QSplitter *parent;
        ReportPane::ScrollBars bars;
        int number;
    };
    const PaneDef defs[] = {
        {"OvcEditorLH", left, ReportPane::ScrollBars::None, 1},
        {"OvcEditorLB", left, ReportPane::ScrollBars::Horizontal, 3},
        {"OvcEditorRH", right, ReportPane::ScrollBars::Vertical, 2},
        {"OvcEditorRB", right, ReportPane::ScrollBars::Both, 4},
    };
    for (const PaneDef &d : defs) {
        auto *pane = new ReportPane(d.parent);
        pane->setObjectName(QString::fromLatin1(d.name));
        pane->setScrollBars(d.bars);
        pane->setMinimumSize(0, 0);
        pane->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(pane, &QWidget::customContextMenuRequested, this, [this, pane](const QPoint &pos) {
            popup_->popup(pane->viewport()->mapToGlobal(pos));
        });
        d.parent->addWidget(pane);
        panes_[d.number - 1] = pane;
    }
    // No header row and no column split until a report says otherwise.
    left->setSizes({0, 1});
    right->setSizes({0, 1});
    columns->setChildrenCollapsible(true);
    columns->setSizes({0, 1});

    auto *notesArea = new QWidget(notesSplit);
    notesArea->setObjectName(QStringLiteral("NotesAreaPanel"));
    auto *notesLayout = new QVBoxLayout(notesArea);
    notesLayout->setContentsMargins(0, 0, 0, 0);
    notesLayout->setSpacing(0);
    auto *notesBar = new QFrame(notesArea);
    notesBar->setObjectName(QStringLiteral("NotesToolBar"));
    new QHBoxLayout(notesBar);
    notesBar->layout()->setContentsMargins(2, 2, 2, 2);
    auto *memo = new QPlainTextEdit(notesArea);
    memo->setObjectName(QStringLiteral("NoteMemo"));
    memo->setReadOnly(true);
    notesLayout->addWidget(notesBar);
    notesLayout->addWidget(memo);

    notesSplit->addWidget(columns);
    notesSplit->addWidget(notesArea);
    notesSplit->setChildrenCollapsible(true);
    notesSplit->setStretchFactor(0, 1);
    notesSplit->setSizes({1, 0});  // notes area closed

    static_cast<QVBoxLayout *>(central->layout())->addWidget(notesSplit, 1);
}

void TVeltraFm::buildStatusBar()
{
    auto *sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("RzStatusBar1"));
    sb->setSizeGripEnabled(false);
    sb->setFixedHeight(kStatusBarHeight);
    setStatusBar(sb);

    auto *notes = new QToolButton(sb);
    notes->setObjectName(QStringLiteral("NotesAvailLSpdBtn"));
    notes->setText(ui("No&tes"));
    notes->setToolTip(ui("Notes Area - Show / Hide"));
    notes->setAutoRaise(true);
    // Greyed (no report), its caption takes the button-shadow colour.
    QPalette shadow = notes->palette();
    shadow.setColor(QPalette::Disabled, QPalette::ButtonText, shadow.color(QPalette::Dark));
    notes->setPalette(shadow);
    forward(notes, action(QStringLiteral("NotesMu")));
    sb->addWidget(notes);

    auto *desc = new QLineEdit(sb);
    desc->setObjectName(QStringLiteral("RptDescRzBtn"));
    desc->setReadOnly(true);
    desc->setToolTip(ui("Report Description"));
    QAction *descButton = desc->addAction(ellipsisIcon(), QLineEdit::TrailingPosition);
    descButton->setObjectName(QStringLiteral("RptDescRzBtnButton"));
    descButton->setToolTip(ui("Modify Description"));
    sb->addWidget(desc, 1);

    // Repeat find, the search's scrolling text and its Stop button share a
    // sunken frame.
    auto *fnd = new QFrame(sb);
    fnd->setObjectName(QStringLiteral("FndRzPanel"));
    fnd->setFrameShape(QFrame::Panel);
    fnd->setFrameShadow(QFrame::Sunken);
    auto *fl = new QHBoxLayout(fnd);
    fl->setContentsMargins(1, 0, 1, 0);
    fl->setSpacing(1);
    auto *repeat = new QToolButton(fnd);
    repeat->setObjectName(QStringLiteral("RepeatFndBtn"));
    repeat->setText(ui(" Repeat Fin&d - F3"));
    repeat->setAutoRaise(true);
    repeat->setEnabled(false);
    forward(repeat, action(QStringLiteral("RepeatFindMu")));
    fl->addWidget(repeat);
    QLabel *scroll = label(fnd, "FndLMDScrlTxt2", "");
    scroll->hide();
    fl->addWidget(scroll);
    QLabel *searching = label(fnd, "RFSrchTPgsLb", "");
    searching->setStyleSheet(QStringLiteral("color: blue"));
    searching->hide();
    fl->addWidget(searching);
    auto *stop = new QToolButton(fnd);
    stop->setObjectName(QStringLiteral("StopSBtn2"));
    stop->setText(ui("Stop"));
    stop->setToolTip(ui("Stop"));
    stop->setAutoRaise(true);
    stop->setEnabled(false);
    fl->addWidget(stop);
    sb->addWidget(fnd);

    // The page group: "&Go To" sits right against " Page ".
    auto *pages = new QWidget(sb);
    pages->setObjectName(QStringLiteral("PageRzPanel"));
    auto *pl = new QHBoxLayout(pages);
    pl->setContentsMargins(0, 0, 0, 0);
    pl->setSpacing(0);
    auto *goTo = new QPushButton(ui("&Go To"), pages);
    goTo->setObjectName(QStringLiteral("GoToBtn"));
    goTo->setAutoDefault(true);  // Enter presses it while it has the focus
    goTo->setEnabled(false);
    pl->addWidget(goTo);
    pl->addWidget(label(pages, "PageLb", " Page "));
    auto *page = new QLineEdit(QStringLiteral("0"), pages);
    page->setObjectName(QStringLiteral("CurrPageRzSP"));
    page->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    page->setToolTip(ui("Type numbers and\r\nPress the Enter Key\r\nor type T(Top), E(End),\r\nB(Bottom)"));
    page->setFixedWidth(70);
    pl->addWidget(page);
    pl->addWidget(label(pages, "OfLb", " of "));
    QLabel *count = label(pages, "MaxPagesLb", "",
                          "Press B or E to go to the Last Page, \r\nT to go to the First Page");
    QFont bold = count->font();
    bold.setBold(true);
    count->setFont(bold);
    QPalette green = count->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    count->setPalette(green);
    count->setMinimumWidth(50);
    pl->addWidget(count);
    QLabel *pageOf = label(pages, "PageOfLb", "");
    pageOf->hide();
    pl->addWidget(pageOf);
    sb->addPermanentWidget(pages);
}

void TVeltraFm::buildTimers()
{
    auto timer = [&](const char *name, int ms) {
        auto *t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(ms);
        return t;
    };
    timer("NotesTimer1", 500);
    timer("LeftColumnTimer", 5);
    timer("OvcTimerPool1", 100);  // the foreground follow trigger
}

// --- Look-ups ---

ReportPane *TVeltraFm::pane(int number) const
{
    return number >= 1 && number <= 4 ? panes_[number - 1] : nullptr;
}

ReportPane *TVeltraFm::designEditor() const
{
    return designEditor_;
}

QMenu *TVeltraFm::popupMenu() const
{
    return popup_;
}

QObject *TVeltraFm::named(const QString &name) const
{
    if (QObject *o = names_.value(name))
        return o;
    QObject *found = findChild<QAction *>(name);
    if (!found)
        found = findChild<QObject *>(name);
    if (found)
        names_.insert(name, found);
    return found;
}

QAction *TVeltraFm::action(const QString &name) const
{
    return qobject_cast<QAction *>(named(name));
}

void TVeltraFm::setKeyHandler(KeyHandler handler)
{
    keyHandler_ = std::move(handler);
}

// --- Command states ---

bool TVeltraFm::splitterLocked(const QSplitter *splitter)
{
    return splitter->property("locked").toBool();
}

void TVeltraFm::setSplitterLocked(QSplitter *splitter, bool locked)
{
    splitter->setProperty("locked", locked);
    for (int i = 0; i < splitter->count(); ++i)
        splitter->handle(i)->setEnabled(!locked);
}

QStringList TVeltraFm::applyCommandChanges(const CommandChanges &changes)
{
    QStringList missing;
    for (const CommandChange &c : changes) {
        QObject *o = named(c.name);
        if (!o) {
            missing << c.name;
            continue;
        }
        if (auto *a = qobject_cast<QAction *>(o)) {
            if (c.enabled)
                a->setEnabled(*c.enabled);
            if (c.visible)
                a->setVisible(*c.visible);
            if (c.checked && a->isCheckable())
                a->setChecked(*c.checked);
        } else if (auto *s = qobject_cast<QSplitter *>(o)) {
            if (c.enabled)
                setSplitterLocked(s, !*c.enabled);
            if (c.visible)
                s->setVisible(*c.visible);
        } else if (auto *w = qobject_cast<QWidget *>(o)) {
            if (c.enabled)
                w->setEnabled(*c.enabled);
            if (c.visible)
                w->setVisible(*c.visible);
            if (auto *b = qobject_cast<QAbstractButton *>(w); b && c.checked && b->isCheckable())
                b->setChecked(*c.checked);
        }
    }
    return missing;
}

void TVeltraFm::applyCommandStates()
{
    CommandStateInputs in;
    in.cleanScreen = cleanScreen_;
    in.reportLibraryMode = reportLibraryMode_;
    in.enabledOf = [this](const QString &n) {
        if (QAction *a = action(n))
            return a->isEnabled();
        auto *w = qobject_cast<QWidget *>(named(n));
        return w && w->isEnabled();
    };
    in.visibleOf = [this](const QString &n) {
        QAction *a = action(n);
        return a && a->isVisible();
    };
    applyCommandChanges(CommandStateChanges(in));

    if (!cleanScreen_) {
        // Leaving Clean Screen mode brings the status bar back; otherwise the
        // user's Show/Hide choice stands.
        if (wasCleanScreen_)
            statusBarHidden_ = false;
        statusBar()->setVisible(!statusBarHidden_);
        action(QStringLiteral("ShowSBMu"))->setChecked(!statusBarHidden_);
        action(QStringLiteral("HideSBMu"))->setChecked(statusBarHidden_);
    }
    wasCleanScreen_ = cleanScreen_;
}

void TVeltraFm::setNoReportState()
{
    applyCommandChanges(NoReportCommands());
    if (QClipboard *clip = QGuiApplication::clipboard())
        clip->clear();
}

void TVeltraFm::setReportLoadedState(const LoadedSwitches &switches, bool reportIsArchived)
{
    applyCommandChanges(ReportLoadedCommands(switches, reportIsArchived));
    for (const char *n : {"HexLb", "DecimalLb"})
        if (auto *l = qobject_cast<QLabel *>(named(QString::fromLatin1(n))))
            l->clear();
    applyCommandStates();
}

void TVeltraFm::applyFeatureSwitches(const FeatureSwitches &switches)
{
    applyCommandChanges(FeatureSwitchCommands(switches));
    const bool help = switches.help == FeatureSwitch::Enable;
    for (const HelpContext &h : MenuHelpContexts())
        if (QAction *a = action(h.name))
            a->setProperty("helpContext", help ? QVariant(h.context) : QVariant());
}

void TVeltraFm::setCleanScreen(bool on)
{
    if (cleanScreen_ == on)
        return;
    cleanScreen_ = on;
    emit cleanScreenChanged(on);
}

void TVeltraFm::setReportLibraryMode(bool on)
{
    reportLibraryMode_ = on;
    applyCommandChanges(CrossReportStartCommands(on));
}

void TVeltraFm::setToolBarRows(int rows)
{
    if (rows == 2)
        TwoRowTBMuClick();
    else
        OneRowTBMuClick();
}

void TVeltraFm::setStatusBarShown(bool shown)
{
    if (shown)
        ShowSBMuClick();
    else
        HideSBMuClick();
}

// --- Handlers ---

void TVeltraFm::CleanScreenMUClick()
{
    // The flag, not the item's check: a checkable item has already flipped
    // its check by the time this runs.
    setCleanScreen(!cleanScreen_);
    applyCommandStates();
}

void TVeltraFm::TwoRowTBMuClick()
{
    auto *panel = findChild<QFrame *>(QStringLiteral("ToolBarPanel"));
    if (!twoRows_) {
        panel->setFixedHeight(panel->minimumHeight() * 2);
        twoRows_ = true;
    }
    syncRadioChecks();
}

void TVeltraFm::OneRowTBMuClick()
{
    auto *panel = findChild<QFrame *>(QStringLiteral("ToolBarPanel"));
    if (twoRows_) {
        panel->setFixedHeight(qRound(panel->minimumHeight() / 2.0));
        twoRows_ = false;
    }
    syncRadioChecks();
}

void TVeltraFm::ShowSBMuClick()
{
    statusBarHidden_ = false;
    if (!cleanScreen_)
        statusBar()->show();
    syncRadioChecks();
}

void TVeltraFm::HideSBMuClick()
{
    statusBarHidden_ = true;
    statusBar()->hide();
    syncRadioChecks();
}

void TVeltraFm::syncRadioChecks()
{
    action(QStringLiteral("OneRowTBMu"))->setChecked(!twoRows_);
    action(QStringLiteral("TwoRowTBMu"))->setChecked(twoRows_);
    action(QStringLiteral("ShowSBMu"))->setChecked(!statusBarHidden_);
    action(QStringLiteral("HideSBMu"))->setChecked(statusBarHidden_);
}

void TVeltraFm::FormResize()
{
    auto *goTo = qobject_cast<QWidget *>(named(QStringLiteral("GoToBtn")));
    auto *pageLb = qobject_cast<QWidget *>(named(QStringLiteral("PageLb")));
    if (!goTo || !pageLb)
        return;
    if (QLayout *l = pageLb->parentWidget()->layout())
        l->activate();
    goTo->move(pageLb->x() - goTo->width(), goTo->y());
}

void TVeltraFm::ExitMuClick()
{
    close();
}

// --- Events ---

QPoint TVeltraFm::dialogPosAboveStatusBar(const QSize &dialogSize) const
{
    const QStatusBar *sb = statusBar();
    const int bottom = sb->isVisible() ? sb->mapToGlobal(QPoint(0, 0)).y()
                                       : mapToGlobal(QPoint(0, height())).y();
    const int centre = mapToGlobal(QPoint(width() / 2, 0)).x();
    return {centre - dialogSize.width() / 2, bottom - 5 - dialogSize.height()};
}

void TVeltraFm::placeAboveStatusBar(QWidget *dialog) const
{
    dialog->move(dialogPosAboveStatusBar(dialog->frameGeometry().size()));
}

bool TVeltraFm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == named(QStringLiteral("CurrPageRzSP")))
        emit pageBoxClicked();
    else if (event->type() == QEvent::FocusIn && watched == named(QStringLiteral("GoToBtn")))
        emit goToButtonEntered();
    if (event->type() == QEvent::KeyPress && keyHandler_ && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        // Only the first delivery (to the focused control, or to the window
        // when nothing has the focus), not the hand-ups to the parents.
        QWidget *focus = QApplication::focusWidget();
        const bool first = focus ? watched == focus : watched == this;
        if (first && w->window() == this && keyHandler_(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TVeltraFm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

} // namespace veltra
