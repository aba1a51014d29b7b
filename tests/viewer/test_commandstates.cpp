#include "viewer/commandstates.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QSet>

using namespace veltra;

namespace {

// The last change per name (later entries of a list win, as when applied).
QHash<QString, CommandChange> byName(const CommandChanges &changes)
{
    QHash<QString, CommandChange> out;
    for (const CommandChange &c : changes) {
        CommandChange &slot = out[c.name];
        slot.name = c.name;
        if (c.enabled)
            slot.enabled = c.enabled;
        if (c.visible)
            slot.visible = c.visible;
        if (c.checked)
            slot.checked = c.checked;
    }
    return out;
}

std::optional<bool> enabledIn(const CommandChanges &changes, const QString &name)
{
    return byName(changes).value(name).enabled;
}

} // namespace

TEST(NoReport, GreysEveryReportCommandOnce)
{
    const QStringList &names = NoReportGreyed();
    EXPECT_EQ(names.size(), QSet<QString>(names.begin(), names.end()).size()) << "duplicate names";
    const auto changes = byName(NoReportCommands());
    for (const QString &n : names)
        EXPECT_EQ(changes.value(n).enabled, std::optional<bool>(false)) << n.toStdString();
    // Sync Columns greyed but checked in its three places.
    for (const char *n : {"LockColRzChkBx", "LockColumnPu", "SyncColumnsMu"})
        EXPECT_EQ(changes.value(n).checked, std::optional<bool>(true)) << n;
    EXPECT_EQ(changes.value("CrossFileSearchMMU").visible, std::optional<bool>(false));
    EXPECT_EQ(changes.value("RzSplitter").enabled, std::optional<bool>(false));
    EXPECT_EQ(changes.value("RzSplitterR").enabled, std::optional<bool>(false));
    // The left row splitter follows the right one and is never locked here.
    EXPECT_FALSE(changes.contains("RzSplitterL"));
    for (const QString &n : MenuBarItems())
        EXPECT_TRUE(names.contains(n)) << n.toStdString();
}

struct LoadedCase {
    const char *label;
    LoadedSwitches sw;
    bool archived;
    // expected enabled state, nullopt = left alone
    std::optional<bool> saveToFile, archive, description, parseNCopy, bookmarks;
};

class ReportLoaded : public ::testing::TestWithParam<LoadedCase> {};

TEST_P(ReportLoaded, FollowsSwitchesAndArchive)
{
    const LoadedCase &c = GetParam();
    const CommandChanges ch = ReportLoadedCommands(c.sw, c.archived);
    EXPECT_EQ(enabledIn(ch, "SaveToFileMu"), c.saveToFile);
    EXPECT_EQ(enabledIn(ch, "SaveToFileSBtn"), c.saveToFile);
    EXPECT_EQ(enabledIn(ch, "ArchiveMu"), c.archive);
    EXPECT_EQ(enabledIn(ch, "ArchiveSBtn"), c.archive);
    EXPECT_EQ(enabledIn(ch, "RptDescRzBtn"), c.description);
    EXPECT_EQ(enabledIn(ch, "ParseNCopyBarPU"), c.parseNCopy);
    EXPECT_EQ(enabledIn(ch, "BookMarkPU"), c.bookmarks);
    // Always: print, next/last/go-to page, find, zoom, splitters; Go To greyed.
    for (const char *n : {"PrintMu", "PrintPu", "PrintSBtn", "PageDownMu", "NextPagePU",
                          "PageDownLMDOfBtn", "LastPageMU", "GoToPagePU", "FindSBtn",
                          "ZoomOutPu", "ViewFontRzFontComboBox", "RzSplitter", "RzSplitterR",
                          "LockColRzChkBx", "CopyPu"})
        EXPECT_EQ(enabledIn(ch, n), std::optional<bool>(true)) << n;
    EXPECT_EQ(enabledIn(ch, "GoToBtn"), std::optional<bool>(false));
    // Left to the page rule, the notes display and find.
    for (const char *n : {"PageUpMu", "FirstPageMU", "NotesMu", "RepeatFindMu"})
        EXPECT_FALSE(enabledIn(ch, n).has_value()) << n;
}

const LoadedSwitches kAll{};
const LoadedSwitches kNone{false, false, false, false, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportLoaded,
    ::testing::Values(
        LoadedCase{"AllEnabledPlainFile", kAll, false, true, true, true, true, true},
        LoadedCase{"ArchiveMemberKeepsArchiveGreyed", kAll, true, true, false, true, true, true},
        LoadedCase{"AllSwitchedOff", kNone, false, std::nullopt, std::nullopt, std::nullopt,
                   std::nullopt, std::nullopt},
        LoadedCase{"SaveToFileDisabledOnly",
                   LoadedSwitches{true, false, true, true, true}, false, std::nullopt, true, true,
                   true, true}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(ApplyStates, NormalModeButtonsFollowMenuItems)
{
    CommandStateInputs in;
    in.enabledOf = [](const QString &n) { return n == "PrintMu" || n == "PageDownMu"; };
    in.visibleOf = [](const QString &) { return true; };
    const auto ch = byName(CommandStateChanges(in));
    for (const MirrorPair &p : ButtonMirrors())
        EXPECT_EQ(ch.value(p.follower).enabled,
                  std::optional<bool>(p.leader == "PrintMu" || p.leader == "PageDownMu"))
            << p.follower.toStdString();
    for (const QString &n : MenuBarItems()) {
        EXPECT_EQ(ch.value(n).enabled, std::optional<bool>(false));
        EXPECT_EQ(ch.value(n).visible, std::optional<bool>(false));
    }
    EXPECT_EQ(ch.value("ToolBarPanel").visible, std::optional<bool>(true));
    EXPECT_EQ(ch.value("CleanScreenMU").checked, std::optional<bool>(false));
    EXPECT_EQ(ch.value("StatusBarMu").visible, std::optional<bool>(true));
    // The status bar itself is the window's decision in normal mode.
    EXPECT_FALSE(ch.contains("RzStatusBar1"));
}

TEST(ApplyStates, CleanScreenMenuBarFollowsMenuItems)
{
    for (bool libraryMode : {false, true}) {
        CommandStateInputs in;
        in.cleanScreen = true;
        in.reportLibraryMode = libraryMode;
        in.enabledOf = [](const QString &n) {
            return n == "FindMu" || n == "LastPageMU" || n == "CrossFileSearchMU";
        };
        in.visibleOf = [](const QString &n) { return n != "GoToPageMU"; };
        const auto ch = byName(CommandStateChanges(in));
        for (const MirrorPair &p : MenuBarMirrors()) {
            const bool on = p.leader == "FindMu" || p.leader == "LastPageMU";
            EXPECT_EQ(ch.value(p.follower).enabled, std::optional<bool>(on))
                << p.follower.toStdString();
            EXPECT_EQ(ch.value(p.follower).visible, std::optional<bool>(p.leader != "GoToPageMU"));
        }
        EXPECT_EQ(ch.value("CrossFileSearchMMU").enabled, std::optional<bool>(libraryMode));
        EXPECT_EQ(ch.value("CrossFileSearchMMU").visible, std::optional<bool>(libraryMode));
        for (const MirrorPair &p : ButtonMirrors())
            EXPECT_EQ(ch.value(p.follower).enabled, std::optional<bool>(false));
        EXPECT_EQ(ch.value("ToolBarPanel").visible, std::optional<bool>(false));
        EXPECT_EQ(ch.value("RzStatusBar1").visible, std::optional<bool>(false));
        EXPECT_EQ(ch.value("HideSBMu").checked, std::optional<bool>(true));
        EXPECT_EQ(ch.value("ShowSBMu").checked, std::optional<bool>(false));
        EXPECT_EQ(ch.value("CleanScreenPU").checked, std::optional<bool>(true));
        EXPECT_EQ(ch.value("ToolBarMu").visible, std::optional<bool>(false));
    }
}

TEST(FeatureSwitches, TextsCompareUpperCased)
{
    const std::pair<const char *, FeatureSwitch> cases[] = {
        {"ENABLE", FeatureSwitch::Enable}, {"Disable", FeatureSwitch::Disable},
        {"hide", FeatureSwitch::Hide},     {" HIDE ", FeatureSwitch::Hide},
        {"", FeatureSwitch::Enable},       {"OFF", FeatureSwitch::Enable},
    };
    for (auto [text, want] : cases)
        EXPECT_EQ(FeatureSwitchFromText(text), want) << text;
}

TEST(FeatureSwitches, DisableGreysHideAlsoRemoves)
{
    FeatureSwitches sw;
    sw.open = FeatureSwitch::Hide;
    sw.reOpen = FeatureSwitch::Hide;
    sw.saveToFile = FeatureSwitch::Disable;
    sw.cleanScreen = FeatureSwitch::Hide;
    sw.help = FeatureSwitch::Disable;
    sw.allowNotes = false;
    sw.allowChgGreenBarEffect = false;
    const auto ch = byName(FeatureSwitchCommands(sw));

    for (const char *n : {"Openmu", "OpenPU", "OpenSBtn", "ReopenMu", "ReopenPU", "ReopenSBtn",
                          "CleanScreenMU", "CleanScreenPU", "GreenBarGrayBarMu",
                          "GreenBarGrayBarPU"}) {
        EXPECT_EQ(ch.value(n).enabled, std::optional<bool>(false)) << n;
        EXPECT_EQ(ch.value(n).visible, std::optional<bool>(false)) << n;
    }
    // Hidden reopen leaves the description box alone.
    EXPECT_FALSE(ch.contains("RptDescRzBtn"));
    EXPECT_EQ(ch.value("PULine01").visible, std::optional<bool>(false));
    for (const char *n : {"SaveToFileMu", "SaveToFileSBtn", "Help1", "HelpPU", "NoteHelpSb"}) {
        EXPECT_EQ(ch.value(n).enabled, std::optional<bool>(false)) << n;
        EXPECT_FALSE(ch.value(n).visible.has_value()) << n;
    }
    for (const char *n : {"NotesAvailLSpdBtn", "NotesMu", "NotesPU"})
        EXPECT_EQ(ch.value(n).visible, std::optional<bool>(false)) << n;
    EXPECT_EQ(ch.value("NotesRzSplitter").enabled, std::optional<bool>(false));
    // Enabled features are not touched.
    for (const char *n : {"ArchiveMu", "BookmarkMu", "ParseNCopyBarMu"})
        EXPECT_FALSE(ch.contains(n)) << n;

    FeatureSwitches disabledReopen;
    disabledReopen.reOpen = FeatureSwitch::Disable;
    EXPECT_EQ(byName(FeatureSwitchCommands(disabledReopen)).value("RptDescRzBtn").enabled,
              std::optional<bool>(false));
    EXPECT_TRUE(FeatureSwitchCommands(FeatureSwitches{}).empty());
}

TEST(FeatureSwitches, OnlyEnableLetsLoadEnable)
{
    FeatureSwitches sw;
    sw.archive = FeatureSwitch::Disable;
    sw.bookMarks = FeatureSwitch::Hide;
    const LoadedSwitches l = LoadedSwitchesFrom(sw);
    EXPECT_FALSE(l.archive);
    EXPECT_FALSE(l.bookMarks);
    EXPECT_TRUE(l.saveToFile && l.reOpen && l.parseNCopy);
}

TEST(CrossReport, GreyedAndShownOnlyInLibraryMode)
{
    for (bool mode : {false, true}) {
        const auto ch = byName(CrossReportStartCommands(mode));
        for (const char *n : {"CrossFileSearchMU", "CrossFileSearchPU", "CrossFileSearchBtn"}) {
            EXPECT_EQ(ch.value(n).enabled, std::optional<bool>(false));
            EXPECT_EQ(ch.value(n).visible, std::optional<bool>(mode));
        }
    }
}
