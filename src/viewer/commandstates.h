#pragma once
// Which commands are enabled, shown and checked in each state of the main
// window, kept as data so that it can be tested without a window.
//
// Every command exists as a main-menu item, often a popup item and a tool bar
// button; the tables here name them by the object names the window gives its
// controls (see app/mainwindow.h for the full list). The window applies a list
// of CommandChange records by object name (TVeltraFm::applyCommandChanges).
//
// A change aimed at a splitter (RzSplitter, RzSplitterR, NotesRzSplitter)
// means its bar: enabled = the user may drag it, disabled = locked.
//
// States:
//  - no report open: the report commands are greyed, Sync Columns is checked
//    in all three places, the column splitter and the right row splitter are
//    locked (NoReportCommands);
//  - report loaded: the report commands are enabled, subject to the feature
//    switches and to whether the report is an archive member
//    (ReportLoadedCommands);
//  - apply command states: normal mode (tool bar and status bar, buttons
//    follow their menu items) or Clean Screen mode (the bars disappear and the
//    most used commands appear in the menu bar itself) (CommandStateChanges).

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace veltra {

struct CommandChange {
    QString name;
    std::optional<bool> enabled;
    std::optional<bool> visible;
    std::optional<bool> checked;
};
using CommandChanges = std::vector<CommandChange>;

// A control that copies the state of another.
struct MirrorPair {
    QString follower;
    QString leader;
};

// Tool bar and status bar buttons that take the enabled state of their menu
// item in normal mode (nine pairs).
const std::vector<MirrorPair> &ButtonMirrors();

// Menu-bar items that take the enabled state and visibility of their menu item
// in Clean Screen mode (eight pairs; the cross-report item is handled apart).
const std::vector<MirrorPair> &MenuBarMirrors();

// The nine items that sit directly on the menu bar and are shown only in
// Clean Screen mode.
const QStringList &MenuBarItems();

// The controls greyed while no report is open.
const QStringList &NoReportGreyed();

// The state with no report open: greys the report commands, checks Sync
// Columns, hides the cross-report menu-bar item and locks the column splitter
// and the right row splitter.
CommandChanges NoReportCommands();

// Feature switches as far as the report-loaded step needs them: true when the
// setting reads "ENABLE".
struct LoadedSwitches {
    bool reOpen = true;
    bool saveToFile = true;
    bool archive = true;
    bool parseNCopy = true;
    bool bookMarks = true;
};

// The state once the first page of a report is shown. An archived report
// keeps the archive commands greyed (it is already in an archive).
// Commands governed by the page in view (previous, first page), by the notes
// of a page and by find are left to their owners.
CommandChanges ReportLoadedCommands(const LoadedSwitches &switches, bool reportIsArchived);

// What "apply command states" does. enabledOf / visibleOf read the current
// state of a menu item by name.
struct CommandStateInputs {
    bool cleanScreen = false;
    bool reportLibraryMode = false;
    std::function<bool(const QString &)> enabledOf;
    std::function<bool(const QString &)> visibleOf;
};
// The status bar (RzStatusBar1) is hidden here in Clean Screen mode only; in
// normal mode its visibility is the window's decision (the user's Show/Hide
// choice, see TVeltraFm).
CommandChanges CommandStateChanges(const CommandStateInputs &in);

// A feature switch of the settings: "ENABLE", "DISABLE" (commands greyed) or
// "HIDE" (commands greyed and removed).
enum class FeatureSwitch { Enable, Disable, Hide };

// Upper-cased comparison; anything but "DISABLE" and "HIDE" counts as enabled.
FeatureSwitch FeatureSwitchFromText(const QString &text);

struct FeatureSwitches {
    FeatureSwitch open = FeatureSwitch::Enable;
    FeatureSwitch reOpen = FeatureSwitch::Enable;
    FeatureSwitch saveToFile = FeatureSwitch::Enable;
    FeatureSwitch archive = FeatureSwitch::Enable;
    FeatureSwitch parseNCopy = FeatureSwitch::Enable;
    FeatureSwitch cleanScreen = FeatureSwitch::Enable;
    FeatureSwitch bookMarks = FeatureSwitch::Enable;
    FeatureSwitch help = FeatureSwitch::Enable;
    bool allowNotes = true;             // "NO" hides the notes commands
    bool allowChgGreenBarEffect = true; // "NO" greys and hides the effect menus
};

// The switches applied at first show. "ENABLE" changes nothing.
CommandChanges FeatureSwitchCommands(const FeatureSwitches &switches);

// The same switches reduced to what the report-loaded step needs.
LoadedSwitches LoadedSwitchesFrom(const FeatureSwitches &switches);

// The cross-report search command and its twins: greyed at start, shown only
// in report library mode.
CommandChanges CrossReportStartCommands(bool reportLibraryMode);

// Help context numbers of the menu items (given only when help is enabled).
struct HelpContext {
    QString name;
    int context;
};
const std::vector<HelpContext> &MenuHelpContexts();

} // namespace veltra
