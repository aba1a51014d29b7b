#include "app/veltraapp.h"

#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/openflow.h"
#include "app/viewercontroller.h"
#include "archive/archivelibrary.h"
#include "archive/pagecodec.h"
#include "archive/ziparchiveaccess.h"
#include "platform/dialogmessagesink.h"
#include "platform/systemdirs.h"
#include "platform/windowplacement.h"
#include "viewer/commandstates.h"
#include "viewer/reportpane.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QScreen>
#include <QSplitter>
#include <QTimer>

#include <cmath>

namespace veltra {

namespace {

const QString ReportLibrarySwitch = QStringLiteral("--report-library");

FeatureSwitches SwitchesFrom(const Settings &s)
{
    FeatureSwitches f;
    f.open = FeatureSwitchFromText(s.Open);
    f.reOpen = FeatureSwitchFromText(s.ReOpen);
    f.saveToFile = FeatureSwitchFromText(s.SaveToFile);
    f.archive = FeatureSwitchFromText(s.Archive);
    f.parseNCopy = FeatureSwitchFromText(s.ParseNCopy);
    f.cleanScreen = FeatureSwitchFromText(s.CleanScreen);
    f.bookMarks = FeatureSwitchFromText(s.BookMarks);
    f.help = FeatureSwitchFromText(s.Help);
    f.allowNotes = s.AllowNotes.toUpper() != QLatin1String("NO");
    f.allowChgGreenBarEffect = s.AllowChgGreenBarEffect.toUpper() != QLatin1String("NO");
    return f;
}

QString StandardOpenDialog(QWidget *parent, const QString &dir, const QStringList &filters, int &filterIndex)
{
    QFileDialog dialog(parent, QStringLiteral("Open"), dir);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (filterIndex >= 0 && filterIndex < filters.size())
        dialog.selectNameFilter(filters[filterIndex]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    filterIndex = std::max<int>(0, int(filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().first();
}

} // namespace

VeltraApp::VeltraApp(const QStringList &args, MessageSink *messages) : args_(args), messages_(messages)
{
    for (const QString &a : args) {
        if (a == ReportLibrarySwitch)
            ReportLibraryMode = true;
        else
            positional_ << a;
    }
    if (!messages_) {
        ownSink_ = std::make_unique<DialogMessageSink>();
        messages_ = ownSink_.get();
    }
}

VeltraApp::~VeltraApp()
{
    if (fm_ && !closed_)
        FormClose();
    viewer_.reset();
    fm_.reset();
    if (archiveContext_)
        ArcShutDown(&archiveContext_);
}

bool VeltraApp::FormCreate()
{
    // The document starts empty: no file, not archived, page 1 first.
    doc_.reset();
    doc_.FirstShownPage = 1;
    doc_.LocateOffset = -1;

    const SettingsPaths paths = SettingsPaths::fromSystem(MasterIniFromArguments(positional_));
    LoadSettings(settings_, paths, *messages_);
    LastOpenDir = settings_.ReportDir;

    const ArcCode rc = ArcStartUp(&archiveContext_, 0);
    if (rc != 0) {
        messages_->errorAbort(QStringLiteral("Could NOT Initialize Archive Routines!!! RC ") + QString::number(rc));
        return false;
    }
    ArcSecondStart(archiveContext_);
    archives_ = std::make_unique<ZipArchiveAccess>();
    InstallPageCodec(doc_);

    fm_ = std::make_unique<TVeltraFm>();
    if (auto *dialogs = dynamic_cast<DialogMessageSink *>(messages_))
        dialogs->setParentWindow(fm_.get());
    viewer_ = std::make_unique<ViewerController>(*fm_, doc_, *messages_, archives_.get());
    viewer_->reportLibraryMode = ReportLibraryMode;
    const FeatureSwitches switches = SwitchesFrom(settings_);
    viewer_->loadedSwitches = [switches] { return LoadedSwitchesFrom(switches); };

    LoaderSettings &ls = viewer_->loader().settings;
    ls.index.useIndices = settings_.UseIndices == QLatin1String("YES");
    ls.index.saveIndices = settings_.SaveIndices == QLatin1String("YES");
    ls.index.storeInReportDir = settings_.StoreIndicesIn == QLatin1String("REPORTDIR");
    ls.index.pageIndiceDir = settings_.PageIndiceDir;
    while (ls.index.pageIndiceDir.endsWith(QLatin1Char('/')) && ls.index.pageIndiceDir.size() > 1)
        ls.index.pageIndiceDir.chop(1);
    ls.source.plainTextBufferSize = settings_.PlainTextBufferSize;
    ls.source.greenBarNone = settings_.GreenBarEffect == QLatin1String("NONE");

    if (QAction *a = fm_->action(QStringLiteral("PageUpMu")))
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    if (QAction *a = fm_->action(QStringLiteral("PageDownMu")))
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    if (QAction *a = fm_->action(QStringLiteral("Openmu")))
        connect(a, &QAction::triggered, this, &VeltraApp::OpenmuClick);
    fm_->installEventFilter(this);

    applyViewFont();
    // The green bar menu and popup entries show the current effect.
    const QString effect = settings_.GreenBarEffect;
    const std::pair<const char *, const char *> effects[] = {
        {"GGBarBlue", "LIGHTBLUE"}, {"GGBarGray", "LIGHTGRAY"}, {"GGBarGreen", "MONEYGREEN"}, {"GGBarNone", "NONE"}};
    for (const auto &[name, word] : effects) {
        for (const QString &n : {QString::fromLatin1(name), QString::fromLatin1(name) + QStringLiteral("PU")})
            if (QAction *a = fm_->action(n))
                a->setChecked(effect == QLatin1String(word));
    }

    applyPlacement();
    return true;
}

void VeltraApp::applyViewFont()
{
    // The settings keep the name upper-cased; font matching ignores case.
    QFont font(settings_.ViewFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setBold(settings_.ViewFontBold == QLatin1String("TRUE"));
    font.setPointSize(std::max(1, settings_.ViewFontSize));
    if (auto *box = qobject_cast<QFontComboBox *>(fm_->named(QStringLiteral("ViewFontRzFontComboBox"))))
        box->setCurrentFont(font);
    for (int n = 1; n <= 4; ++n)
        fm_->pane(n)->setFont(font);
    if (ReportPane *d = fm_->designEditor())
        d->setFont(font);
}

void VeltraApp::applyPlacement()
{
    startupSize_ = settings_.VtAppStartupSize;
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        fm_->setGeometry(1, 1, s.width(), int(std::lround(0.9 * s.height())));
        if (startupSize_ == QLatin1String("L")) {
            if (const auto p = WindowPlacementStore().read()) {
                if (p->left < 0 || p->top < 0 || p->width > s.width() || p->height > s.height())
                    startupSize_ = QStringLiteral("M");
                else
                    fm_->setGeometry(p->left, p->top, p->width, p->height);
            }
        }
    }
}

void VeltraApp::applyWindowState()
{
    if (startupSize_ == QLatin1String("N"))
        fm_->showNormal();
    else if (startupSize_ == QLatin1String("M"))
        fm_->showMaximized();
    else
        fm_->show();
}

void VeltraApp::FormShow()
{
    fm_->setWindowTitle(QStringLiteral("Veltra"));
    fm_->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    if (QObject *d = fm_->named(QStringLiteral("RptDescRzBtn"))) {
        d->setProperty("text", QString());
        if (auto *w = qobject_cast<QWidget *>(d))
            w->setToolTip(QString());
    }
    viewer_->resetView();
    if (auto *notes = qobject_cast<QSplitter *>(fm_->named(QStringLiteral("NotesRzSplitter")))) {
        int total = 0;
        for (int size : notes->sizes())
            total += size;
        notes->setSizes({std::max(total, 1), 0});  // notes area closed
    }
    viewer_->focusBodyPane();
    viewer_->setGoToButtonEnabled(false);
    for (const char *name : {"RepeatFindMu", "RepeatFindPU", "RepeatFndBtn"})
        if (QObject *o = fm_->named(QLatin1String(name)))
            o->setProperty("enabled", false);

    fm_->setToolBarRows(settings_.NumOfToolbarRows == 2 ? 2 : 1);
    fm_->setStatusBarShown(settings_.StatusBar == QLatin1String("SHOW"));
    fm_->setCleanScreen(settings_.ViewCleanScreen == QLatin1String("Y"));
    fm_->applyFeatureSwitches(SwitchesFrom(settings_));
    fm_->setReportLibraryMode(ReportLibraryMode);
    fm_->applyCommandStates();
    viewer_->setNoReportState();

    applyCommandLine();
    applyWindowState();
    if (ReportLibraryMode && !doc_.openRequestPending() && !viewer_->loader().busy()) {
        OpenmuClick();
        applyWindowState();
    }
}

void VeltraApp::applyCommandLine()
{
    if (positional_.isEmpty())
        return;
    const CommandLine cl = ProcessCommandLine(positional_, programDir(), *messages_, archives_.get());
    if (cl.reportDir) {
        settings_.ReportDir = *cl.reportDir;
        LastOpenDir = *cl.reportDir;
    }
    settings_.HeaderLineCount = cl.headerLineCount;
    if (cl.headerFormat)
        settings_.HeaderFormat = *cl.headerFormat;
    if (cl.landPort)
        settings_.LandPort = *cl.landPort;
    if (cl.prntFontSize)
        settings_.PrntFontSize = *cl.prntFontSize;
    if (cl.viewFontSize) {
        settings_.ViewFontSize = *cl.viewFontSize;
        applyViewFont();
    }
    if (!cl.archivePassword.isEmpty())
        viewer_->loader().settings.currentArchivePassword = cl.archivePassword;
    if (cl.open) {
        if (cl.open->RptIsArchived)
            if (QAction *a = fm_->action(QStringLiteral("ArchiveMu")))
                a->setEnabled(false);
        QCoreApplication::processEvents();
        startOpen(*cl.open);
    }
}

void VeltraApp::startOpen(OpenRequest request)
{
    viewer_->presenter().settings.greenBar = settings_.GreenBarEffect != QLatin1String("NONE");
    viewer_->presenter().settings.headerFormat = settings_.HeaderFormat == QLatin1String("U") ? 'U' : 'C';
    viewer_->presenter().settings.allowNotes = settings_.AllowNotes != QLatin1String("NO");
    viewer_->loader().StartLoader(request);
}

void VeltraApp::OpenmuClick()
{
    // The report library and archive open dialogs are not built yet: every
    // road goes through the standard open dialog for now.
    const QStringList filters = DialogFiltersFromFileFilter(settings_.FileFilter);
    QString path;
    for (;;) {
        path = chooseFile ? chooseFile(LastOpenDir, filters, filterIndex_)
                          : StandardOpenDialog(fm_.get(), LastOpenDir, filters, filterIndex_);
        if (path.isEmpty())
            return;
        const QFileInfo fi(path);
        LastOpenDir = fi.absolutePath();
        if (fi.exists() && fi.size() == 0) {
            messages_->show({MessageKind::ErrorOk, QStringLiteral("FileOpen Error"),
                             QStringLiteral("FileSize = 0 \r\n") + path, {}});
            continue;
        }
        break;
    }
    if (settings_.AddFileFilter == QLatin1String("YES")) {
        if (const auto filter = AddToFileFilter(settings_.FileFilter, path)) {
            settings_.FileFilter = *filter;
            filterIndex_ = 0;
        }
    }
    OpenRequest request;
    request.PendingRptPath = path;
    request.RptIsArchived = false;
    request.FirstShownPage = 1;
    startOpen(request);
}

bool VeltraApp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == fm_.get() && event->type() == QEvent::Close)
        FormClose();
    return QObject::eventFilter(watched, event);
}

void VeltraApp::FormClose()
{
    if (closed_ || !fm_)
        return;
    closed_ = true;
    const QRect g = fm_->geometry();
    WindowPlacementStore().write({g.x(), g.y(), g.width(), g.height()});
    viewer_->setHourglass(true);
    viewer_->closing = true;
    for (const char *name : {"LeftColumnTimer", "OvcTimerPool1", "NotesTimer1"})
        if (auto *t = qobject_cast<QTimer *>(fm_->named(QLatin1String(name))))
            t->stop();
    // The loader's synchronized steps must still be served while it stops.
    viewer_->loader().stopAndWait([] { QCoreApplication::processEvents(); });
    viewer_->closeReport();
    if (archiveContext_)
        ArcShutDown(&archiveContext_);
    viewer_->setHourglass(false);
}

} // namespace veltra
