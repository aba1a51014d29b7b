#include "viewer/commandstates.h"

namespace veltra {

namespace {

void add(CommandChanges &out, const QString &name, std::optional<bool> enabled,
         std::optional<bool> visible = std::nullopt, std::optional<bool> checked = std::nullopt)
{
    out.push_back({name, enabled, visible, checked});
}

void enableAll(CommandChanges &out, std::initializer_list<const char *> names, bool on)
{
    for (const char *n : names)
        add(out, QString::fromLatin1(n), on);
}

// Greyed, or greyed and hidden, by a feature switch.
void applySwitch(CommandChanges &out, FeatureSwitch s, std::initializer_list<const char *> names)
{
    if (s == FeatureSwitch::Enable)
        return;
    for (const char *n : names) {
        if (s == FeatureSwitch::Hide)
            add(out, QString::fromLatin1(n), false, false);
        else
            add(out, QString::fromLatin1(n), false);
    }
}

} // namespace

const std::vector<MirrorPair> &ButtonMirrors()
{
    static const std::vector<MirrorPair> pairs = {
        {"OpenSBtn", "Openmu"},
        {"ReopenSBtn", "ReopenMu"},
        {"PrintSBtn", "PrintMu"},
        {"FindSBtn", "FindMu"},
        {"PageUpLMDOfBtn", "PageUpMu"},
        {"PageDownLMDOfBtn", "PageDownMu"},
        {"NotesAvailLSpdBtn", "NotesMu"},
        {"RepeatFndBtn", "RepeatFindMu"},
        {"GoToBtn", "GoToPageMU"},
    };
    return pairs;
}

const std::vector<MirrorPair> &MenuBarMirrors()
{
    static const std::vector<MirrorPair> pairs = {
        {"PrintMMU", "PrintMu"},
        {"FindMMU", "FindMu"},
        {"RepeatFindMMU", "RepeatFindMu"},
        {"FirstPageMMU", "FirstPageMU"},
        {"PrevPageMMU", "PageUpMu"},
        {"NextPageMMu", "PageDownMu"},
        {"LastPageMMU", "LastPageMU"},
        {"GoToPageMMU", "GoToPageMU"},
    };
    return pairs;
}

const QStringList &MenuBarItems()
{
    static const QStringList items = {
        "PrintMMU", "FindMMU", "RepeatFindMMU", "CrossFileSearchMMU", "FirstPageMMU",
        "PrevPageMMU", "NextPageMMu", "LastPageMMU", "GoToPageMMU",
    };
    return items;
}

const QStringList &NoReportGreyed()
{
    static const QStringList names = [] {
        QStringList n = {
            // Save to File, archive, Parse N Copy bar
            "SaveToFileMu", "SaveToFileSBtn", "ArchiveMu", "ArchiveSBtn",
            "ParseNCopyBarMu", "PCopyLMDOffcBtn", "ParseNCopyBarPU",
            // notes, report description
            "NotesAvailLSpdBtn", "NotesMu", "NotesPU", "RptDescRzBtn",
            // print, bookmarks
            "PrintMu", "PrintPu", "PrintSBtn", "BkMrkLMDOBtn", "BookmarkMu", "BookMarkPU",
            // Sync Columns, copy, tool bar rows
            "LockColRzChkBx", "LockColumnPu", "SyncColumnsMu", "CopyMu", "CopyPu",
            "CopyLMDOffcBtn", "ToolBarMu",
            // page commands
            "PageUpMu", "PrevPagePU", "PageUpLMDOfBtn", "PageDownMu", "NextPagePU",
            "PageDownLMDOfBtn", "GoToBtn", "FirstPagePU", "FirstPageMU", "LastPagePU",
            "LastPageMU", "GoToPagePU", "GoToPageMU",
            // find, repeat find
            "FindMu", "FindPU", "FindSBtn", "RepeatFindMu", "RepeatFindPU", "RepeatFndBtn",
            // zoom, view font
            "ZoomInMu", "ZoomInPU", "ZoomInSBtn", "ZoomOutMu", "ZoomOutPu", "ZoomOutSBtn",
            "ViewFontRzFontComboBox",
        };
        n += MenuBarItems();
        return n;
    }();
    return names;
}

CommandChanges NoReportCommands()
{
    CommandChanges out;
    for (const QString &n : NoReportGreyed()) {
        std::optional<bool> checked;
        if (n == "LockColRzChkBx" || n == "LockColumnPu" || n == "SyncColumnsMu")
            checked = true;
        std::optional<bool> visible;
        if (n == "CrossFileSearchMMU")
            visible = false;
        out.push_back({n, false, visible, checked});
    }
    add(out, "RzSplitter", false);
    add(out, "RzSplitterR", false);
    return out;
}

CommandChanges ReportLoadedCommands(const LoadedSwitches &sw, bool reportIsArchived)
{
    CommandChanges out;
    if (sw.reOpen)
        add(out, "RptDescRzBtn", true);
    if (sw.saveToFile)
        enableAll(out, {"SaveToFileMu", "SaveToFileSBtn"}, true);
    if (sw.archive)  // an archive member cannot be archived again
        enableAll(out, {"ArchiveMu", "ArchiveSBtn"}, !reportIsArchived);
    if (sw.parseNCopy)
        enableAll(out, {"ParseNCopyBarMu", "PCopyLMDOffcBtn", "ParseNCopyBarPU"}, true);

    enableAll(out, {"RzSplitter", "RzSplitterR"}, true);

    enableAll(out, {"PrintMu", "PrintPu", "PrintSBtn"}, true);
    if (sw.bookMarks)
        enableAll(out, {"BkMrkLMDOBtn", "BookmarkMu", "BookMarkPU"}, true);
    enableAll(out, {"LockColRzChkBx", "LockColumnPu", "SyncColumnsMu"}, true);
    enableAll(out, {"CopyMu", "CopyPu", "CopyLMDOffcBtn"}, true);
    enableAll(out, {"PageDownMu", "NextPagePU", "PageDownLMDOfBtn"}, true);
    add(out, "GoToBtn", false);
    enableAll(out, {"LastPagePU", "LastPageMU", "GoToPagePU", "GoToPageMU"}, true);
    enableAll(out, {"FindMu", "FindPU", "FindSBtn"}, true);
    enableAll(out, {"ZoomInMu", "ZoomInPU", "ZoomInSBtn", "ZoomOutMu", "ZoomOutPu", "ZoomOutSBtn"},
              true);
    add(out, "ViewFontRzFontComboBox", true);
    return out;
}

CommandChanges CommandStateChanges(const CommandStateInputs &in)
{
    CommandChanges out;
    auto enabledOf = [&](const QString &n) { return in.enabledOf ? in.enabledOf(n) : false; };
    auto visibleOf = [&](const QString &n) { return in.visibleOf ? in.visibleOf(n) : true; };

    if (!in.cleanScreen) {
        add(out, "ToolBarPanel", std::nullopt, true);
        add(out, "StatusBarMu", true, true);
        for (const QString &n : MenuBarItems())
            add(out, n, false, false);
        add(out, "ToolBarMu", true, true);
        for (const MirrorPair &p : ButtonMirrors())
            add(out, p.follower, enabledOf(p.leader));
        add(out, "CleanScreenMU", std::nullopt, std::nullopt, false);
        add(out, "CleanScreenPU", std::nullopt, std::nullopt, false);
        return out;
    }

    add(out, "ToolBarPanel", std::nullopt, false);
    add(out, "RzStatusBar1", std::nullopt, false);
    add(out, "StatusBarMu", false, false);
    add(out, "ShowSBMu", std::nullopt, std::nullopt, false);
    add(out, "HideSBMu", std::nullopt, std::nullopt, true);
    for (const MirrorPair &p : MenuBarMirrors())
        add(out, p.follower, enabledOf(p.leader), visibleOf(p.leader));
    if (in.reportLibraryMode)
        add(out, "CrossFileSearchMMU", enabledOf("CrossFileSearchMU"), true);
    else
        add(out, "CrossFileSearchMMU", false, false);
    add(out, "ToolBarMu", false, false);
    for (const MirrorPair &p : ButtonMirrors())
        add(out, p.follower, false);
    add(out, "CleanScreenMU", std::nullopt, std::nullopt, true);
    add(out, "CleanScreenPU", std::nullopt, std::nullopt, true);
    return out;
}

FeatureSwitch FeatureSwitchFromText(const QString &text)
{
    const QString t = text.trimmed().toUpper();
    if (t == "DISABLE")
        return FeatureSwitch::Disable;
    if (t == "HIDE")
        return FeatureSwitch::Hide;
    return FeatureSwitch::Enable;
}

CommandChanges FeatureSwitchCommands(const FeatureSwitches &sw)
{
    CommandChanges out;
    applySwitch(out, sw.open, {"Openmu", "OpenPU", "OpenSBtn"});
    applySwitch(out, sw.reOpen, {"ReopenMu", "ReopenPU", "ReopenSBtn"});
    // The description box is only greyed: with the reopen list hidden it is
    // still the place that shows what is open.
    if (sw.reOpen == FeatureSwitch::Disable)
        add(out, "RptDescRzBtn", false);
    applySwitch(out, sw.saveToFile, {"SaveToFileMu", "SaveToFileSBtn"});
    applySwitch(out, sw.archive, {"ArchiveMu", "ArchiveSBtn"});
    applySwitch(out, sw.parseNCopy, {"ParseNCopyBarMu", "PCopyLMDOffcBtn", "ParseNCopyBarPU"});
    applySwitch(out, sw.cleanScreen, {"CleanScreenMU", "CleanScreenPU"});
    if (sw.cleanScreen == FeatureSwitch::Hide)
        add(out, "PULine01", std::nullopt, false);
    applySwitch(out, sw.bookMarks, {"BookmarkMu", "BookMarkPU", "BkMrkLMDOBtn"});
    applySwitch(out, sw.help,
                {"Help1", "HelpPU", "HelpSBtn", "StFHelpSBtn", "PnCHelpSpdBtn", "NoteHelpSb"});
    if (!sw.allowNotes) {
        for (const char *n : {"NotesAvailLSpdBtn", "NotesMu", "NotesPU"})
            add(out, QString::fromLatin1(n), std::nullopt, false);
        add(out, "NotesRzSplitter", false);
    }
    if (!sw.allowChgGreenBarEffect) {
        add(out, "GreenBarGrayBarMu", false, false);
        add(out, "GreenBarGrayBarPU", false, false);
    }
    return out;
}

LoadedSwitches LoadedSwitchesFrom(const FeatureSwitches &sw)
{
    LoadedSwitches l;
    l.reOpen = sw.reOpen == FeatureSwitch::Enable;
    l.saveToFile = sw.saveToFile == FeatureSwitch::Enable;
    l.archive = sw.archive == FeatureSwitch::Enable;
    l.parseNCopy = sw.parseNCopy == FeatureSwitch::Enable;
    l.bookMarks = sw.bookMarks == FeatureSwitch::Enable;
    return l;
}

CommandChanges CrossReportStartCommands(bool reportLibraryMode)
{
    CommandChanges out;
    for (const char *n : {"CrossFileSearchMU", "CrossFileSearchPU", "CrossFileSearchBtn"})
        add(out, QString::fromLatin1(n), false, reportLibraryMode);
    return out;
}

const std::vector<HelpContext> &MenuHelpContexts()
{
    static const std::vector<HelpContext> table = {
        {"Openmu", 1021},       {"ReopenMu", 1034},     {"SaveToFileMu", 1040},
        {"ArchiveMu", 1001},    {"PrintMu", 1039},      {"ExitMu", 1006},
        {"ContentsMu", 1006},   {"SearchMu", 1006},     {"SalesMu", 1032},
        {"TechnicalSupportMu", 1043}, {"AboutMu", 1006}, {"CopyMu", 1038},
        {"FindMu", 1011},       {"RepeatFindMu", 1010}, {"PageUpMu", 1024},
        {"PageDownMu", 1024},   {"BookmarkMu", 1002},   {"NotesMu", 1023},
        {"ParseNCopyBarMu", 1025}, {"ToolBarMu", 1000}, {"StatusBarMu", 1000},
        {"ZoomInMu", 1000},     {"ZoomOutMu", 1000},    {"SyncColumnsMu", 1042},
    };
    return table;
}

} // namespace veltra
