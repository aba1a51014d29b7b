#pragma once
// The settings record and its loading.
//
// The master file "VELTRA32.INI" lives in the program directory (or is named
// by "INI=" on the command line); the per-user file "VELTRA32.INI" lives in
// the user's settings folder and is read only when AllowUserIni is not "NO".
// Every key missing from the master file gets its default written there, so
// after the first start the file lists every setting.
//
// Values are kept upper-cased, except FileFilter and the directories (Linux
// paths keep their case). Directory values ending in a separator end in '/'.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace veltra {

class MessageSink;

enum class LengthUnit { Inches, Centimetres };

struct RgbColour {
    int red = 255;
    int green = 255;
    int blue = 255;
    bool operator==(const RgbColour &) const = default;
};

// A default-constructed record holds what loading gives when every key is at
// its default, apart from the directories and paths, which depend on where
// the program lives.
struct Settings {
    // "Adminstration": feature switches ("ENABLE", "DISABLE", "HIDE") and flags.
    QString Open = QStringLiteral("ENABLE");
    QString OpenDialog = QStringLiteral("CUSTOM");
    QString ReOpen = QStringLiteral("ENABLE");
    QString SaveReopenFileList = QStringLiteral("YES");
    QString SaveBookMarks = QStringLiteral("YES");
    QString SaveToFile = QStringLiteral("ENABLE");
    QString Archive = QStringLiteral("ENABLE");
    QString ParseNCopy = QStringLiteral("ENABLE");
    QString CleanScreen = QStringLiteral("ENABLE");  // the Clean Screen switch
    QString Help = QStringLiteral("ENABLE");
    QString AllowUserIni = QStringLiteral("NO");
    QString AllowUserUpdtSettings = QStringLiteral("YES");
    QString AllowNotes = QStringLiteral("YES");
    QString BookMarks = QStringLiteral("ENABLE");
    QString AllowChgGreenBarEffect = QStringLiteral("YES");

    // "Page Indices".
    QString UseIndices = QStringLiteral("YES");
    QString SaveIndices = QStringLiteral("NO");  // forced to "NO" when UseIndices is "NO"
    QString StoreIndicesIn = QStringLiteral("REPORTDIR");
    QString ExcludeExtensions;

    // "FILES". Directories as loaded: RptSettingsDir, ReOpenDir, BookMarkDir
    // and NotesDir end with '/'; ReportDir and PageIndiceDir as given.
    QString FileFilter;  // case kept
    QString AddFileFilter = QStringLiteral("YES");
    QString ReportDir;
    QString RptSettingsDir;
    QString PageIndiceDir;
    QString ReOpenDir;
    QString BookMarkDir;
    QString NotesDir;

    // "Font".
    QString ViewFont = QStringLiteral("COURIER NEW");
    QString ViewFontBold = QStringLiteral("TRUE");
    int ViewFontSize = 8;
    QString PrntFont = QStringLiteral("COURIER NEW");
    double PrntFontSize = 7;
    QString PrntFontsAvail = QStringLiteral("F");

    // "View".
    QString VtAppStartupSize = QStringLiteral("M");
    int NumOfToolbarRows = 1;
    QString StatusBar = QStringLiteral("SHOW");
    QString ViewCleanScreen = QStringLiteral("N");  // "CleanScreen" of "View": start in Clean Screen mode
    QString GreenBarEffect = QStringLiteral("MONEYGREEN");  // one of the four effect words
    QString PlainTextBufferSizeWhenGreenBarEQNone = QStringLiteral("MEDIUM");
    QString HeaderFormat = QStringLiteral("C");  // "C" or "U"

    // "Print". Margins in MarginUnit; LeftMarginWastePlusTenths already
    // multiplied by 0.1 (inches).
    double TopMargin = 0;
    double LeftMargin = 0;
    double LeftMarginWastePlusTenths = 0.1;
    QString LandPort = QStringLiteral("L");
    QString StartPages = QStringLiteral("CURRENT");

    // "International".
    QString Language = QStringLiteral("ENGLISH");

    // Values of the run that live beside the keys.
    int HeaderLineCount = -1;                  // -1: chosen automatically
    QString ArchiveDefault = QStringLiteral("Enable");  // "Hide" after converting an old file without compression
    std::optional<RgbColour> BandColour = RgbColour{192, 220, 192};  // none: the system window colour
    int PlainTextBufferSize = 30000;
    QString ReopenListPath;                    // ReOpenDir + "VTROSVFL.LST"
    LengthUnit MarginUnit = LengthUnit::Inches;

    // The files the values came from.
    QString MasterIniPath;
    QString UserIniPath;  // empty when the per-user file is not consulted
};

// Where the settings come from. Explicit so tests can use scratch folders.
struct SettingsPaths {
    QString programDir;        // ends with '/'
    QString userDir;           // folder of the per-user file (made when missing)
    QString homeDir;           // proposed base folder of the per-user directories
    QString driveLetter;       // empty on Linux (see CompleteDirectoryValue)
    QString masterIniOverride; // "INI=" path from the command line; empty when none

    // The running program's folders (VELTRA_HOME, VELTRA_USER_DIR or the XDG
    // config folder, the home folder) with the given "INI=" path.
    static SettingsPaths fromSystem(const QString &masterIniOverride = {});
};

struct LoadSettingsOutcome {
    bool convertedMaster = false;  // an older "Veltra.ini" became the master file
    bool convertedUser = false;    // an older per-user "Veltra.ini" was copied
    bool userFileConsulted = false;
    QStringList unwritableFiles;   // files whose missing keys stayed defaults in memory only
};

// Loads the settings once at start: converts older files, fills missing keys
// with their defaults, converts the values, makes sure the directories exist
// (falling back to the program directory with a message), proves the reopen
// list file can be written and, when allowed, reads the per-user file.
// Every message goes through messages. A file that cannot be written costs
// one message; the program then goes on with the defaults in memory.
LoadSettingsOutcome LoadSettings(Settings &settings, const SettingsPaths &paths, MessageSink &messages);

// The keys of the master file in the order they are read (and first written).
struct SettingsKey {
    const char *section;
    const char *key;
};
const std::vector<SettingsKey> &MasterSettingsKeys();

// The default filter of the standard open dialog.
QString DefaultFileFilter();

}  // namespace veltra
