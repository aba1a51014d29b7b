#include "app/settings.h"

#include "app/settingsrules.h"
#include "platform/messagesink.h"
#include "platform/profilefile.h"
#include "platform/systemdirs.h"
#include "util/chartables.h"
#include "util/fileutil.h"
#include "util/textutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

namespace veltra {

namespace {

const QString MissingMarker = QStringLiteral("?");
const QString SettingsFileName = QStringLiteral("VELTRA32.INI");
const QString OlderSettingsFileName = QStringLiteral("Veltra.ini");
const QString EarlierEffectsFileName = QStringLiteral("VT32V5CV.INI");
const QString ReopenListName = QStringLiteral("VTROSVFL.LST");

QString withSeparator(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString withoutSeparator(QString dir)
{
    if (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

// One settings file with the read-or-default loop. When the file cannot be
// written, the first failure is reported once and no further write is tried:
// the defaults then live in memory for this run.
class SettingsFile {
public:
    SettingsFile(const QString &path, MessageSink &messages, LoadSettingsOutcome &outcome)
        : m_file(path), m_messages(messages), m_outcome(outcome)
    {
    }

    const QString &path() const { return m_file.path(); }
    ProfileFile &file() { return m_file; }

    // The key's value; a missing key (or one holding "?") gets its default
    // written and read back. defaultValue is asked only when needed.
    QString readOrDefault(const char *section, const char *key, const std::function<QString()> &defaultValue)
    {
        const QString sectionName = QString::fromLatin1(section);
        const QString keyName = QString::fromLatin1(key);
        const QString value = m_file.readString(sectionName, keyName, MissingMarker);
        if (value != MissingMarker)
            return value;
        const QString fallback = defaultValue();
        if (!m_failed) {
            if (m_file.writeString(sectionName, keyName, fallback)) {
                const QString written = m_file.readString(sectionName, keyName, MissingMarker);
                if (written != MissingMarker)
                    return written;
            } else {
                failed();
            }
        }
        return fallback;
    }

    // Removals for the converter; a failure counts like a failed write.
    void removeKey(const char *section, const char *key)
    {
        if (!m_failed && !m_file.removeKey(QString::fromLatin1(section), QString::fromLatin1(key)))
            failed();
    }
    void eraseSection(const char *section)
    {
        if (!m_failed && !m_file.eraseSection(QString::fromLatin1(section)))
            failed();
    }

private:
    void failed()
    {
        m_failed = true;
        m_outcome.unwritableFiles.append(m_file.path());
        // The file's own error names it and says why ("Unable to write to
        // /opt/veltra/VELTRA32.INI: Permission denied").
        m_messages.errorOk(m_file.errorString() +
                           QStringLiteral("\r\nMissing settings keep their default values for this run."));
    }

    ProfileFile m_file;
    MessageSink &m_messages;
    LoadSettingsOutcome &m_outcome;
    bool m_failed = false;
};

struct Loader {
    Loader(Settings &settings, const SettingsPaths &paths_, MessageSink &messages_, LoadSettingsOutcome &outcome_)
        : s(settings),
          paths(paths_),
          messages(messages_),
          outcome(outcome_),
          decimalSeparator(CharTables::fromLocale().decimalSeparator()),
          master(settings.MasterIniPath, messages_, outcome_)
    {
    }

    Settings &s;
    const SettingsPaths &paths;
    MessageSink &messages;
    LoadSettingsOutcome &outcome;
    QChar decimalSeparator;
    SettingsFile master;
    QString allowChgGreenBarDefault = QStringLiteral("Yes");
    QString greenBarDefault = QStringLiteral("MoneyGreen");
    QString raw;          // the value just read, before upper-casing
    QString rawLanguage;  // the master's Language as written there

    QString directory(const QString &value, const char *name, bool create) const
    {
        return NormaliseDirectory(value, DirectoryMessagesFor(QString::fromLatin1(name)), paths.programDir,
                                  paths.driveLetter, messages, create);
    }

    // The reopen list goes into ReOpenDir; when the list is kept in a file,
    // an empty file is made and removed at once to prove that it can be.
    void probeReopenList()
    {
        s.ReopenListPath = s.ReOpenDir + ReopenListName;
        if (s.SaveReopenFileList != QLatin1String("YES") || QFileInfo::exists(s.ReopenListPath))
            return;
        QFile probe(s.ReopenListPath);
        if (probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            probe.close();
            probe.remove();
            return;
        }
        messages.errorOk(QStringLiteral("Could not create Reopen File List.\r\n") + s.ReopenListPath +
                         QStringLiteral("\r\nThe list of Most Recently Opened files will not be saved."));
    }
};

int wholeNumberOr(const QString &value, int fallback, bool positive)
{
    bool ok = false;
    const int number = value.toInt(&ok, 10);
    if (!ok || (positive && number <= 0))
        return fallback;
    return number;
}

double marginValue(const QString &value, QChar decimalSeparator)
{
    double margin = 0;
    ParseSettingsNumber(removeChars(value, QStringLiteral("CM\"")), margin, decimalSeparator);
    return margin;
}

struct KeyEntry {
    const char *section;
    const char *key;
    bool keepCase;
    QString (*defaultValue)(const Loader &);
    void (*apply)(Loader &, const QString &value);
};

QString text(const char *value)
{
    return QString::fromLatin1(value);
}

#define KEY(section, key, def, apply) {section, key, false, [](const Loader &l) -> QString { (void)l; return def; }, apply}
#define PATH_KEY(section, key, def, apply) {section, key, true, [](const Loader &l) -> QString { return def; }, apply}
#define STORE(field) [](Loader &l, const QString &v) { l.s.field = v; }

const KeyEntry MasterKeys[] = {
    KEY("Adminstration", "Open", text("Enable"), STORE(Open)),
    KEY("Adminstration", "OpenDialog", text("Custom"), STORE(OpenDialog)),
    KEY("Adminstration", "ReOpen", text("Enable"), STORE(ReOpen)),
    KEY("Adminstration", "SaveReopenFileList", text("YES"), STORE(SaveReopenFileList)),
    KEY("Adminstration", "SaveBookMarks", text("YES"), STORE(SaveBookMarks)),
    KEY("Adminstration", "SaveToFile", text("Enable"), STORE(SaveToFile)),
    KEY("Adminstration", "Archive", l.s.ArchiveDefault, STORE(Archive)),
    KEY("Adminstration", "ParseNCopy", text("Enable"), STORE(ParseNCopy)),
    KEY("Adminstration", "CleanScreen", text("Enable"), STORE(CleanScreen)),
    KEY("Adminstration", "Help", text("Enable"), STORE(Help)),
    KEY("Adminstration", "AllowUserIni", text("No"), STORE(AllowUserIni)),
    KEY("Adminstration", "AllowUserUpdtSettings", text("Yes"), STORE(AllowUserUpdtSettings)),
    KEY("Adminstration", "AllowNotes", text("Yes"), STORE(AllowNotes)),
    KEY("Adminstration", "BookMarks", text("Enable"), STORE(BookMarks)),
    KEY("Adminstration", "AllowChgGreenBarEffect", l.allowChgGreenBarDefault, STORE(AllowChgGreenBarEffect)),

    KEY("Page Indices", "UseIndices", text("YES"), STORE(UseIndices)),
    KEY("Page Indices", "SaveIndices", text("NO"),
        [](Loader &l, const QString &v) {
            l.s.SaveIndices = l.s.UseIndices == QLatin1String("NO") ? QStringLiteral("NO") : v;
        }),
    KEY("Page Indices", "StoreIndicesIn", text("ReportDir"), STORE(StoreIndicesIn)),
    KEY("Page Indices", "ExcludeExtensions", QString(), STORE(ExcludeExtensions)),

    PATH_KEY("FILES", "FileFilter", DefaultFileFilter(), STORE(FileFilter)),
    KEY("FILES", "AddFileFilter", text("YES"), STORE(AddFileFilter)),
    PATH_KEY("FILES", "ReportDir", withoutSeparator(l.paths.programDir),
             [](Loader &l, const QString &v) { l.s.ReportDir = l.directory(v, "ReportDir", true); }),
    PATH_KEY("FILES", "RptSettingsDir", l.paths.programDir + QStringLiteral("vtrptsts"),
             [](Loader &l, const QString &v) {
                 l.s.RptSettingsDir = withSeparator(l.directory(v, "RptSettingsDir", true));
             }),
    PATH_KEY("FILES", "PageIndiceDir", l.paths.programDir + QStringLiteral("vtindice"),
             [](Loader &l, const QString &v) { l.s.PageIndiceDir = l.directory(v, "RptIndDir", true); }),
    PATH_KEY("FILES", "ReOpenDir", withoutSeparator(l.s.RptSettingsDir),
             [](Loader &l, const QString &v) {
                 l.s.ReOpenDir = withSeparator(
                     l.directory(v, "ReOpenDir", l.s.SaveReopenFileList == QLatin1String("YES")));
                 l.probeReopenList();
             }),
    PATH_KEY("FILES", "BookMarkDir", withoutSeparator(l.s.RptSettingsDir),
             [](Loader &l, const QString &v) {
                 l.s.BookMarkDir =
                     withSeparator(l.directory(v, "BookMarkDir", l.s.SaveBookMarks == QLatin1String("YES")));
             }),
    PATH_KEY("FILES", "NotesDir", withoutSeparator(l.s.RptSettingsDir),
             [](Loader &l, const QString &v) {
                 l.s.NotesDir = withSeparator(l.directory(v, "NotesDir", l.s.AllowNotes == QLatin1String("YES")));
             }),

    KEY("Font", "ViewFont", text("Courier New"), STORE(ViewFont)),
    KEY("Font", "ViewFontBold", text("True"), STORE(ViewFontBold)),
    KEY("Font", "ViewFontSize", text("8"),
        [](Loader &l, const QString &v) { l.s.ViewFontSize = wholeNumberOr(v, 8, true); }),
    KEY("Font", "PrntFont", text("Courier New"), STORE(PrntFont)),
    KEY("Font", "PrntFontSize", text("7"),
        [](Loader &l, const QString &v) { l.s.PrntFontSize = wholeNumberOr(v, 7, true); }),
    KEY("Font", "PrntFontsAvail", text("F"), STORE(PrntFontsAvail)),

    KEY("View", "VtAppStartupSize", text("M"), STORE(VtAppStartupSize)),
    KEY("View", "NumOfToolbarRows", text("1"),
        [](Loader &l, const QString &v) { l.s.NumOfToolbarRows = wholeNumberOr(v, 1, false); }),
    KEY("View", "StatusBar", text("Show"), STORE(StatusBar)),
    KEY("View", "CleanScreen", text("N"), STORE(ViewCleanScreen)),
    KEY("View", "GreenBarEffect", l.greenBarDefault,
        [](Loader &l, const QString &v) { SetGreenBarEffect(l.s, v); }),
    KEY("View", "PlainTextBufferSizeWhenGreenBarEQNone", text("MEDIUM"),
        [](Loader &l, const QString &v) {
            l.s.PlainTextBufferSizeWhenGreenBarEQNone = v;
            l.s.PlainTextBufferSize = 10000;
            if (v == QLatin1String("MEDIUM"))
                l.s.PlainTextBufferSize = 30000;
            else if (v == QLatin1String("LARGE"))
                l.s.PlainTextBufferSize = 60000;
        }),
    KEY("View", "HeaderFormat", text("C"),
        [](Loader &l, const QString &v) {
            l.s.HeaderLineCount = -1;
            l.s.HeaderFormat = (v == QLatin1String("U") || v == QLatin1String("C")) ? v : QStringLiteral("C");
        }),

    KEY("Print", "TopMargin", text("0\""),
        [](Loader &l, const QString &v) {
            l.s.MarginUnit = v.contains(QLatin1String("CM")) ? LengthUnit::Centimetres : LengthUnit::Inches;
            l.s.TopMargin = marginValue(v, l.decimalSeparator);
        }),
    KEY("Print", "LeftMargin", text("0\""),
        [](Loader &l, const QString &v) { l.s.LeftMargin = marginValue(v, l.decimalSeparator); }),
    KEY("Print", "LeftMarginWastePlusTenths", text("1"),
        [](Loader &l, const QString &v) {
            double tenths = 0;
            ParseSettingsNumber(v, tenths, l.decimalSeparator);
            l.s.LeftMarginWastePlusTenths = tenths * 0.1;
        }),
    KEY("Print", "LandPort", text("L"), STORE(LandPort)),
    KEY("Print", "StartPages", text("Current"), STORE(StartPages)),

    KEY("International", "Language", text("English"),
        [](Loader &l, const QString &v) {
            l.s.Language = v;
            l.rawLanguage = l.raw;
        }),
};

#undef KEY
#undef PATH_KEY
#undef STORE

// Files left by the version before: copied to the current names once, and
// the master copy cleaned of keys that no longer exist.
void convertOlderFiles(Loader &l)
{
    const QString userOld =
        l.paths.userDir.isEmpty() ? QString() : FindFileIgnoringCase(l.paths.userDir, OlderSettingsFileName);
    if (!userOld.isEmpty() && QFileInfo(userOld).isFile() &&
        !QFileInfo::exists(FindFileIgnoringCase(l.paths.userDir, SettingsFileName))) {
        const int rc = copyFile(userOld, withSeparator(l.paths.userDir) + SettingsFileName);
        l.outcome.convertedUser = rc == CopyOk || rc == CopyDateUnreadable;
    }

    const QString masterOld = FindFileIgnoringCase(l.paths.programDir, OlderSettingsFileName);
    if (!QFileInfo(masterOld).isFile() ||
        QFileInfo::exists(FindFileIgnoringCase(l.paths.programDir, SettingsFileName)))
        return;
    const int rc = copyFile(masterOld, l.paths.programDir + SettingsFileName);
    if (rc != CopyOk && rc != CopyDateUnreadable)
        return;  // nothing was converted; the defaults take over (and say why they cannot be written)
    l.outcome.convertedMaster = true;
    static const char *const obsolete[][2] = {
        {"FILES", "FileFilter"},           {"Adminstration", "PMIcons"},
        {"Adminstration", "ExeInSchPath"}, {"Adminstration", "OnOpenPromptForHdr"},
        {"View", "LaunchModal"},           {"View", "ToolBarPos"},
        {"View", "MaxNumViewLinesInHdr"},  {"Page Indices", "ReadAhead"},
        {"Page Indices", "ExcludeExtensions"},
    };
    for (const auto &key : obsolete)
        l.master.removeKey(key[0], key[1]);
    const QString compress =
        l.master.file().readString(QStringLiteral("Compression"), QStringLiteral("CompressReports"), MissingMarker);
    if (compress.toUpper() != QLatin1String("YES"))
        l.s.ArchiveDefault = QStringLiteral("Hide");
    l.master.eraseSection("Compression");
}

// Green bar choices kept from an earlier installation override the defaults.
void readEarlierEffects(Loader &l)
{
    const QString path = FindFileIgnoringCase(l.paths.programDir, EarlierEffectsFileName);
    if (!QFileInfo(path).isFile())
        return;
    const ProfileFile earlier(path);
    const QString allow =
        earlier.readString(QStringLiteral("Adminstration"), QStringLiteral("AllowChgGreenBarEffect"), MissingMarker);
    if (allow != MissingMarker)
        l.allowChgGreenBarDefault = allow;
    const QString effect = earlier.readString(QStringLiteral("View"), QStringLiteral("GreenBarEffect"), MissingMarker);
    if (effect != MissingMarker)
        l.greenBarDefault = effect;
}

// The per-user directories sit below a base folder the user names once.
QString askForUserBase(const Loader &l)
{
    const std::optional<QString> answer =
        l.messages.input(QStringLiteral("Local Drive Letter"),
                         QStringLiteral("Please enter the base folder for local user directories."), l.paths.homeDir);
    QString base = answer && !answer->trimmed().isEmpty() ? *answer : l.paths.homeDir;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

const QString UserSettingsSuffix = QStringLiteral("/veltra/vtrptsts/");

// The base folder of a per-user settings directory: what stands before
// "/veltra/vtrptsts/", else the home folder.
QString userBaseOf(const QString &rptSettingsDir, const QString &homeDir)
{
    if (rptSettingsDir.endsWith(UserSettingsSuffix))
        return rptSettingsDir.chopped(UserSettingsSuffix.size());
    return withoutSeparator(homeDir);
}

void readUserFile(Loader &l)
{
    if (!l.paths.userDir.isEmpty())
        QDir().mkpath(l.paths.userDir);
    const QString path = FindFileIgnoringCase(l.paths.userDir, SettingsFileName);
    l.s.UserIniPath = path;
    l.outcome.userFileConsulted = true;
    SettingsFile user(path, l.messages, l.outcome);
    Settings &s = l.s;

    s.Language = user.readOrDefault("International", "Language", [&] { return l.rawLanguage; }).toUpper();

    const QString rpt = user.readOrDefault("FILES", "RptSettingsDir",
                                           [&] { return askForUserBase(l) + QStringLiteral("/veltra/vtrptsts"); });
    s.RptSettingsDir = withSeparator(l.directory(rpt, "RptSettingsDir", true));
    const QString base = userBaseOf(s.RptSettingsDir, l.paths.homeDir);

    const QString index =
        user.readOrDefault("FILES", "PageIndiceDir", [&] { return base + QStringLiteral("/veltra/vtindice"); });
    s.PageIndiceDir = l.directory(index, "RptIndDir", true);

    const auto sharedDefault = [&] { return withoutSeparator(s.RptSettingsDir); };
    s.ReOpenDir = withSeparator(l.directory(user.readOrDefault("FILES", "ReOpenDir", sharedDefault), "ReOpenDir",
                                            s.SaveReopenFileList == QLatin1String("YES")));
    l.probeReopenList();
    s.BookMarkDir = withSeparator(l.directory(user.readOrDefault("FILES", "BookMarkDir", sharedDefault),
                                              "BookMarkDir", s.SaveBookMarks == QLatin1String("YES")));
    s.NotesDir = withSeparator(l.directory(user.readOrDefault("FILES", "NotesDir", sharedDefault), "NotesDir",
                                           s.AllowNotes == QLatin1String("YES")));
}

QString masterPathFor(const SettingsPaths &paths)
{
    if (!paths.masterIniOverride.isEmpty() && QFileInfo(paths.masterIniOverride).isFile())
        return paths.masterIniOverride;
    return FindFileIgnoringCase(paths.programDir, SettingsFileName);
}

}  // namespace

QString DefaultFileFilter()
{
    return QStringLiteral("Reports (*.rpt;*.prn;*.txt;*.vta;*.zip)|*.rpt;*.prn;*.txt;*.vta;*.zip|"
                          "Archives (*.vta;*.zip)|*.vta;*.zip|All Files (*.*)|*.*");
}

const std::vector<SettingsKey> &MasterSettingsKeys()
{
    static const std::vector<SettingsKey> keys = [] {
        std::vector<SettingsKey> list;
        for (const KeyEntry &entry : MasterKeys)
            list.push_back({entry.section, entry.key});
        return list;
    }();
    return keys;
}

SettingsPaths SettingsPaths::fromSystem(const QString &masterIniOverride)
{
    SettingsPaths paths;
    paths.programDir = veltra::programDir();
    paths.userDir = veltra::userSettingsDir();
    paths.homeDir = QDir::homePath();
    paths.driveLetter = veltra::programDriveLetter();
    paths.masterIniOverride = masterIniOverride;
    return paths;
}

LoadSettingsOutcome LoadSettings(Settings &settings, const SettingsPaths &paths, MessageSink &messages)
{
    LoadSettingsOutcome outcome;
    settings.ArchiveDefault = QStringLiteral("Enable");
    settings.MasterIniPath = masterPathFor(paths);
    settings.UserIniPath.clear();
    Loader l(settings, paths, messages, outcome);

    convertOlderFiles(l);
    readEarlierEffects(l);

    for (const KeyEntry &entry : MasterKeys) {
        l.raw = l.master.readOrDefault(entry.section, entry.key, [&] { return entry.defaultValue(l); });
        entry.apply(l, entry.keepCase ? l.raw : l.raw.toUpper());
    }

    if (settings.AllowUserIni != QLatin1String("NO"))
        readUserFile(l);
    return outcome;
}

}  // namespace veltra
