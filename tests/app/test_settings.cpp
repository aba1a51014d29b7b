#include "app/settings.h"
#include "app/settingsrules.h"
#include "platform/messagesink.h"
#include "platform/profilefile.h"
#include "../filebytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace veltra;
using veltra::test::readAll;
using veltra::test::writeAll;

namespace {

// A program folder, a per-user folder and a home folder in a scratch folder.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.isValid());
        QDir root(scratch.path());
        root.mkpath("prog");
        root.mkpath("home");
        paths.programDir = scratch.filePath("prog") + "/";
        paths.userDir = scratch.filePath("user");
        paths.homeDir = scratch.filePath("home");
    }

    QString master() const { return paths.programDir + "VELTRA32.INI"; }
    QString userFile() const { return paths.userDir + "/VELTRA32.INI"; }

    // Loads with the given master file content (none: no master file).
    Settings load(const std::optional<QByteArray> &masterContent = std::nullopt)
    {
        if (masterContent)
            writeAll(master(), *masterContent);
        Settings s;
        outcome = LoadSettings(s, paths, sink);
        return s;
    }

    QTemporaryDir scratch;
    SettingsPaths paths;
    ScriptedMessageSink sink;
    LoadSettingsOutcome outcome;
};

// Restores the default locale after a test that changes it.
class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale &locale) : m_old(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(m_old); }

private:
    QLocale m_old;
};

}  // namespace

TEST_F(SettingsTest, FirstStartWritesEveryDefaultInOrderAndASecondStartWritesNothing)
{
    const Settings first = load();
    EXPECT_EQ(sink.count(), 0) << sink.texts().join(" | ").toStdString();

    const QString prog = paths.programDir;
    const QByteArray expected =
        "[Adminstration]\r\nOpen=Enable\r\nOpenDialog=Custom\r\nReOpen=Enable\r\nSaveReopenFileList=YES\r\n"
        "SaveBookMarks=YES\r\nSaveToFile=Enable\r\nArchive=Enable\r\nParseNCopy=Enable\r\nCleanScreen=Enable\r\n"
        "Help=Enable\r\nAllowUserIni=No\r\nAllowUserUpdtSettings=Yes\r\nAllowNotes=Yes\r\nBookMarks=Enable\r\n"
        "AllowChgGreenBarEffect=Yes\r\n"
        "[Page Indices]\r\nUseIndices=YES\r\nSaveIndices=NO\r\nStoreIndicesIn=ReportDir\r\nExcludeExtensions=\r\n"
        "[FILES]\r\nFileFilter=" +
        DefaultFileFilter().toUtf8() +
        "\r\nAddFileFilter=YES\r\n"
        "ReportDir=" + prog.chopped(1).toUtf8() + "\r\n"
        "RptSettingsDir=" + prog.toUtf8() + "vtrptsts\r\n"
        "PageIndiceDir=" + prog.toUtf8() + "vtindice\r\n"
        "ReOpenDir=" + prog.toUtf8() + "vtrptsts\r\n"
        "BookMarkDir=" + prog.toUtf8() + "vtrptsts\r\n"
        "NotesDir=" + prog.toUtf8() + "vtrptsts\r\n"
        "[Font]\r\nViewFont=Courier New\r\nViewFontBold=True\r\nViewFontSize=8\r\nPrntFont=Courier New\r\n"
        "PrntFontSize=7\r\nPrntFontsAvail=F\r\n"
        "[View]\r\nVtAppStartupSize=M\r\nNumOfToolbarRows=1\r\nStatusBar=Show\r\nCleanScreen=N\r\n"
        "GreenBarEffect=MoneyGreen\r\nPlainTextBufferSizeWhenGreenBarEQNone=MEDIUM\r\nHeaderFormat=C\r\n"
        "[Print]\r\nTopMargin=0\"\r\nLeftMargin=0\"\r\nLeftMarginWastePlusTenths=1\r\nLandPort=L\r\n"
        "StartPages=Current\r\n"
        "[International]\r\nLanguage=English\r\n";
    const QByteArray written = readAll(master());
    EXPECT_EQ(written, expected);

    // The record holds what a default record holds, plus the folders.
    Settings defaults;
    EXPECT_EQ(first.Open, defaults.Open);
    EXPECT_EQ(first.FileFilter, DefaultFileFilter());
    EXPECT_EQ(first.GreenBarEffect, "MONEYGREEN");
    EXPECT_EQ(first.BandColour, defaults.BandColour);
    EXPECT_EQ(first.PlainTextBufferSize, 30000);
    EXPECT_EQ(first.ViewFontSize, 8);
    EXPECT_EQ(first.PrntFontSize, 7);
    EXPECT_DOUBLE_EQ(first.LeftMarginWastePlusTenths, 0.1);
    EXPECT_EQ(first.MarginUnit, LengthUnit::Inches);
    EXPECT_EQ(first.ReportDir, prog.chopped(1));
    EXPECT_EQ(first.RptSettingsDir, prog + "vtrptsts/");
    EXPECT_EQ(first.PageIndiceDir, prog + "vtindice");
    EXPECT_EQ(first.ReopenListPath, prog + "vtrptsts/VTROSVFL.LST");
    EXPECT_TRUE(QFileInfo(prog + "vtrptsts").isDir());
    EXPECT_TRUE(QFileInfo(prog + "vtindice").isDir());
    EXPECT_FALSE(QFileInfo::exists(first.ReopenListPath));  // the probe removed its file
    EXPECT_FALSE(QFileInfo::exists(paths.userDir));         // AllowUserIni "No": no per-user file
    EXPECT_TRUE(first.UserIniPath.isEmpty());

    const QDateTime stamp = QFileInfo(master()).lastModified();
    const Settings second = load();
    EXPECT_EQ(readAll(master()), expected);
    EXPECT_EQ(QFileInfo(master()).lastModified(), stamp);
    EXPECT_EQ(sink.count(), 0);
    EXPECT_EQ(second.ReportDir, first.ReportDir);
    EXPECT_EQ(second.NotesDir, first.NotesDir);
}

TEST_F(SettingsTest, KeyTableIsInFileOrder)
{
    load();
    ProfileFile file(master());
    const auto &keys = MasterSettingsKeys();
    ASSERT_EQ(keys.size(), 46u);
    for (const SettingsKey &k : keys)
        EXPECT_NE(file.readString(k.section, k.key, "?"), "?") << k.section << "/" << k.key;
}

TEST_F(SettingsTest, ValuesAreConvertedAsTheKeysSay)
{
    struct Case {
        const char *what;
        QByteArray content;
        std::function<void(const Settings &)> check;
    };
    const Case cases[] = {
        {"switches are upper-cased", "[Adminstration]\r\nOpen=disable\r\nSaveToFile=Hide\r\n",
         [](const Settings &s) {
             EXPECT_EQ(s.Open, "DISABLE");
             EXPECT_EQ(s.SaveToFile, "HIDE");
         }},
        {"the filter keeps its case", "[FILES]\r\nFileFilter=Text (*.TXT)|*.txt\r\n",
         [](const Settings &s) { EXPECT_EQ(s.FileFilter, "Text (*.TXT)|*.txt"); }},
        {"unknown effect word", "[View]\r\nGreenBarEffect=purple\r\n",
         [](const Settings &s) {
             EXPECT_EQ(s.GreenBarEffect, "NONE");
             EXPECT_FALSE(s.BandColour.has_value());
         }},
        {"light blue", "[View]\r\nGreenBarEffect=lightblue\r\n",
         [](const Settings &s) {
             EXPECT_EQ(s.GreenBarEffect, "LIGHTBLUE");
             EXPECT_EQ(s.BandColour, (RgbColour{191, 223, 255}));
         }},
        {"no indices means no index saving", "[Page Indices]\r\nUseIndices=no\r\nSaveIndices=YES\r\n",
         [](const Settings &s) { EXPECT_EQ(s.SaveIndices, "NO"); }},
        {"indices saved when used", "[Page Indices]\r\nUseIndices=Yes\r\nSaveIndices=yes\r\n",
         [](const Settings &s) { EXPECT_EQ(s.SaveIndices, "YES"); }},
        {"header format X", "[View]\r\nHeaderFormat=X\r\n",
         [](const Settings &s) {
             EXPECT_EQ(s.HeaderFormat, "C");
             EXPECT_EQ(s.HeaderLineCount, -1);
         }},
        {"header format u", "[View]\r\nHeaderFormat=u\r\n", [](const Settings &s) { EXPECT_EQ(s.HeaderFormat, "U"); }},
        {"buffer SMALL", "[View]\r\nPlainTextBufferSizeWhenGreenBarEQNone=SMALL\r\n",
         [](const Settings &s) { EXPECT_EQ(s.PlainTextBufferSize, 10000); }},
        {"buffer large", "[View]\r\nPlainTextBufferSizeWhenGreenBarEQNone=large\r\n",
         [](const Settings &s) { EXPECT_EQ(s.PlainTextBufferSize, 60000); }},
        {"margins in centimetres", "[Print]\r\nTopMargin=2.5 cm\r\nLeftMargin=1\r\n",
         [](const Settings &s) {
             EXPECT_EQ(s.MarginUnit, LengthUnit::Centimetres);
             EXPECT_DOUBLE_EQ(s.TopMargin, 2.5);
             EXPECT_DOUBLE_EQ(s.LeftMargin, 1);
         }},
        {"margin in inches", "[Print]\r\nTopMargin=0.5\"\r\n",
         [](const Settings &s) {
             EXPECT_EQ(s.MarginUnit, LengthUnit::Inches);
             EXPECT_DOUBLE_EQ(s.TopMargin, 0.5);
         }},
        {"bad margin gives the bad character's place", "[Print]\r\nTopMargin=X\r\nLeftMargin=1.2.3\r\n",
         [](const Settings &s) {
             EXPECT_DOUBLE_EQ(s.TopMargin, 1);
             EXPECT_DOUBLE_EQ(s.LeftMargin, 4);
             EXPECT_EQ(s.MarginUnit, LengthUnit::Inches);
         }},
        {"waste in tenths", "[Print]\r\nLeftMarginWastePlusTenths=3\r\n",
         [](const Settings &s) { EXPECT_DOUBLE_EQ(s.LeftMarginWastePlusTenths, 0.3); }},
        {"font sizes that are no whole numbers keep their defaults",
         "[Font]\r\nViewFontSize=big\r\nPrntFontSize=0\r\n[View]\r\nNumOfToolbarRows=two\r\n",
         [](const Settings &s) {
             EXPECT_EQ(s.ViewFontSize, 8);
             EXPECT_EQ(s.PrntFontSize, 7);
             EXPECT_EQ(s.NumOfToolbarRows, 1);
         }},
        {"whole numbers", "[Font]\r\nViewFontSize=12\r\nPrntFontSize=9\r\n[View]\r\nNumOfToolbarRows=2\r\n",
         [](const Settings &s) {
             EXPECT_EQ(s.ViewFontSize, 12);
             EXPECT_EQ(s.PrntFontSize, 9);
             EXPECT_EQ(s.NumOfToolbarRows, 2);
         }},
        {"an empty value is a value", "[View]\r\nStatusBar=\r\n", [](const Settings &s) { EXPECT_EQ(s.StatusBar, ""); }},
        {"the clean-screen keys of two sections", "[Adminstration]\r\nCleanScreen=Hide\r\n[View]\r\nCleanScreen=y\r\n",
         [](const Settings &s) {
             EXPECT_EQ(s.CleanScreen, "HIDE");
             EXPECT_EQ(s.ViewCleanScreen, "Y");
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        sink.clear();
        QFile::remove(master());
        c.check(load(c.content));
        EXPECT_EQ(sink.count(), 0);
        // Present keys are never rewritten: the file still holds every line it held.
        const QByteArray after = readAll(master());
        for (const QByteArray &line : c.content.split('\n'))
            EXPECT_TRUE(after.contains(line + '\n')) << line.toStdString();
    }
}

TEST_F(SettingsTest, QuestionMarkCountsAsMissing)
{
    load("[View]\r\nStatusBar=?\r\nGreenBarEffect=  ?  \r\n");
    ProfileFile file(master());
    EXPECT_EQ(file.readString("View", "StatusBar", "?"), "Show");
    EXPECT_EQ(file.readString("View", "GreenBarEffect", "?"), "MoneyGreen");
    EXPECT_TRUE(readAll(master()).startsWith("[View]\r\nStatusBar=Show\r\nGreenBarEffect=MoneyGreen\r\n"));
}

TEST_F(SettingsTest, MarginsUseTheLocaleDecimalSeparator)
{
    LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
    const Settings s = load("[Print]\r\nTopMargin=1,5\r\nLeftMargin=2,25cm\r\n");
    EXPECT_DOUBLE_EQ(s.TopMargin, 1.5);
    EXPECT_DOUBLE_EQ(s.LeftMargin, 2.25);
    EXPECT_EQ(s.MarginUnit, LengthUnit::Inches);  // the unit comes from TopMargin only
}

TEST(SettingsNumber, ParsesTheWayTheMarginsAreRead)
{
    struct Case {
        const char *text;
        QChar separator;
        bool ok;
        double result;  // the target afterwards (starting at 99)
    };
    const QChar dot('.'), comma(',');
    const Case cases[] = {
        {"", dot, false, 99},          {" \t\x01", dot, false, 99}, {"2.5", dot, true, 2.5},
        {"  -3.25  ", dot, true, -3.25}, {"1,5", comma, true, 1.5},  {"1.5", comma, true, 1.5},
        {"7,", comma, true, 7},        {"7.", dot, true, 7},        {"1e2", dot, true, 100},
        {"+.5", dot, true, 0.5},       {"X", dot, false, 1},        {"12x", dot, false, 3},
        {"1 5", dot, false, 2},        {"-", dot, false, 2},        {"1e", dot, false, 3},
        {"1.2.3", dot, false, 4},      {"5\r\n", dot, true, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        double target = 99;
        EXPECT_EQ(ParseSettingsNumber(QString::fromLatin1(c.text), target, c.separator), c.ok);
        EXPECT_DOUBLE_EQ(target, c.result);
    }
}

TEST(SettingsDirectories, OneBackslashGetsTheProgramDrive)
{
    EXPECT_EQ(CompleteDirectoryValue("\\reports", "D"), "D:\\reports");
    EXPECT_EQ(CompleteDirectoryValue("\\\\srv\\share", "D"), "\\\\srv\\share");
    EXPECT_EQ(CompleteDirectoryValue("C:\\reports", "D"), "C:\\reports");
    EXPECT_EQ(CompleteDirectoryValue("\\reports", ""), "\\reports");  // network program path, or Linux
    EXPECT_EQ(CompleteDirectoryValue("/srv/reports", ""), "/srv/reports");
}

TEST_F(SettingsTest, DirectoriesThatCannotBeMadeFallBackToTheProgramDirectory)
{
    writeAll(scratch.filePath("afile"), "x");
    const QString blocked = scratch.filePath("afile") + "/reports";
    struct Case {
        const char *key;
        QString value;
        QString expectedMessage;  // empty: no message
        std::function<QString(const Settings &)> field;
        QString expected;
    };
    const QString prog = paths.programDir;
    const Case cases[] = {
        {"ReportDir", blocked,
         "Could not create ReportDir Directory\r\n" + blocked + "\r\nReportDir Directory set to program directory.",
         [](const Settings &s) { return s.ReportDir; }, prog},
        {"ReportDir", "", "Could not create ReportDir Directory\r\n\r\nReportDir Directory set to program directory.",
         [](const Settings &s) { return s.ReportDir; }, prog},
        {"RptSettingsDir", blocked,
         "Could not create RptSettingsDir Directory\r\n" + blocked +
             "\r\nRptSettingsDir Directory set to program directory.",
         [](const Settings &s) { return s.RptSettingsDir; }, prog},
        {"PageIndiceDir", blocked,
         "Could not create RptIndDir Directory\r\n" + blocked + "\r\nRptIndDir Directory set to program directory.",
         [](const Settings &s) { return s.PageIndiceDir; }, prog},
        {"NotesDir", blocked,
         "Could not create NotesDir Directory\r\n" + blocked + "\r\nNotesDir Directory set to program directory.",
         [](const Settings &s) { return s.NotesDir; }, prog},
        {"ReportDir", scratch.filePath("new/deep/reports"), QString(),
         [](const Settings &s) { return s.ReportDir; }, scratch.filePath("new/deep/reports")},
        {"BookMarkDir", "Marks", QString(), [](const Settings &s) { return s.BookMarkDir; }, prog + "Marks/"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key + (" = " + c.value.toStdString()));
        sink.clear();
        QFile::remove(master());
        const Settings s = load("[FILES]\r\n" + QByteArray(c.key) + "=" + c.value.toUtf8() + "\r\n");
        if (c.expectedMessage.isEmpty()) {
            EXPECT_EQ(sink.count(), 0) << sink.texts().join(" | ").toStdString();
        } else {
            ASSERT_EQ(sink.count(), 1);
            EXPECT_EQ(sink.messages()[0].kind, MessageKind::ErrorOk);
            EXPECT_EQ(sink.messages()[0].text, c.expectedMessage);
        }
        EXPECT_EQ(c.field(s), c.expected);
        EXPECT_TRUE(QFileInfo(c.expected).isDir());
    }
}

TEST_F(SettingsTest, FeatureFoldersAreMadeOnlyForFeaturesThatKeepFiles)
{
    const QString reopen = scratch.filePath("reopen"), marks = scratch.filePath("marks"),
                  notes = scratch.filePath("notes");
    const Settings s = load("[Adminstration]\r\nSaveReopenFileList=NO\r\nSaveBookMarks=No\r\nAllowNotes=Greyed\r\n"
                            "[FILES]\r\nReOpenDir=" + reopen.toUtf8() + "\r\nBookMarkDir=" + marks.toUtf8() +
                            "\r\nNotesDir=" + notes.toUtf8() + "\r\n");
    EXPECT_EQ(sink.count(), 0);
    EXPECT_EQ(s.ReOpenDir, reopen + "/");
    EXPECT_EQ(s.BookMarkDir, marks + "/");
    EXPECT_EQ(s.NotesDir, notes + "/");
    EXPECT_FALSE(QFileInfo::exists(reopen));
    EXPECT_FALSE(QFileInfo::exists(marks));
    EXPECT_FALSE(QFileInfo::exists(notes));
}

TEST_F(SettingsTest, ReopenListThatCannotBeCreatedIsReportedOnce)
{
    const QString reopen = scratch.filePath("reopen");
    QDir().mkpath(reopen);
    // A dangling link in the list's place: the name is free, yet no file can be made there.
    ASSERT_TRUE(QFile::link(scratch.filePath("afile/none"), reopen + "/VTROSVFL.LST"));
    const Settings s = load("[FILES]\r\nReOpenDir=" + reopen.toUtf8() + "\r\n");
    ASSERT_EQ(sink.count(), 1);
    EXPECT_EQ(sink.messages()[0].text, "Could not create Reopen File List.\r\n" + reopen +
                                           "/VTROSVFL.LST\r\nThe list of Most Recently Opened files will not be saved.");
    EXPECT_EQ(s.SaveReopenFileList, "YES");
    EXPECT_EQ(s.ReopenListPath, reopen + "/VTROSVFL.LST");
}

TEST_F(SettingsTest, AMasterFileThatCannotBeWrittenCostsOneMessage)
{
    // A folder where the master file should be: it reads as empty and no
    // write can succeed.
    QDir().mkpath(master());
    const Settings s = load();
    ASSERT_EQ(sink.count(), 1);
    EXPECT_EQ(sink.messages()[0].kind, MessageKind::ErrorOk);
    EXPECT_TRUE(sink.texts()[0].contains(master()));
    EXPECT_TRUE(sink.texts()[0].endsWith("Missing settings keep their default values for this run."));
    EXPECT_EQ(outcome.unwritableFiles, QStringList{master()});
    EXPECT_EQ(s.Open, "ENABLE");
    EXPECT_EQ(s.GreenBarEffect, "MONEYGREEN");
    EXPECT_EQ(s.RptSettingsDir, paths.programDir + "vtrptsts/");
    EXPECT_TRUE(QFileInfo(master()).isDir());
}

TEST_F(SettingsTest, AnUnwritablePerUserFileCostsOneMessage)
{
    writeAll(scratch.filePath("afile"), "x");
    paths.userDir = scratch.filePath("afile") + "/veltra";
    const QString base = scratch.filePath("local");
    sink.pushAnswer(true, base);
    const Settings s = load("[Adminstration]\r\nAllowUserIni=Yes\r\n");
    ASSERT_EQ(sink.count(), 2) << sink.texts().join(" | ").toStdString();
    EXPECT_EQ(sink.messages()[0].kind, MessageKind::ErrorOk);
    EXPECT_TRUE(sink.texts()[0].contains(paths.userDir));
    EXPECT_EQ(sink.messages()[1].kind, MessageKind::Input);
    EXPECT_EQ(outcome.unwritableFiles, QStringList{paths.userDir + "/VELTRA32.INI"});
    // The answer still counts for this run.
    EXPECT_EQ(s.RptSettingsDir, base + "/veltra/vtrptsts/");
    EXPECT_EQ(s.NotesDir, base + "/veltra/vtrptsts/");
    EXPECT_EQ(s.Language, "ENGLISH");
}

TEST_F(SettingsTest, PerUserFileIsNeverTouchedWhenNotAllowed)
{
    QDir().mkpath(paths.userDir);
    writeAll(userFile(), "[FILES]\r\nRptSettingsDir=/elsewhere\r\n");
    const Settings s = load("[Adminstration]\r\nAllowUserIni=no\r\n");
    EXPECT_EQ(s.RptSettingsDir, paths.programDir + "vtrptsts/");
    EXPECT_EQ(readAll(userFile()), QByteArray("[FILES]\r\nRptSettingsDir=/elsewhere\r\n"));
    EXPECT_FALSE(outcome.userFileConsulted);
}

TEST_F(SettingsTest, FirstStartOfAUserAsksForTheBaseFolderOnce)
{
    const QString base = scratch.filePath("local");
    sink.pushAnswer(true, base);
    const Settings s = load("[Adminstration]\r\nAllowUserIni=Yes\r\n[International]\r\nLanguage=Deutsch\r\n");
    ASSERT_EQ(sink.count(), 1);
    const Message box = sink.messages()[0];
    EXPECT_EQ(box.kind, MessageKind::Input);
    EXPECT_EQ(box.title, "Local Drive Letter");
    EXPECT_EQ(box.proposed, paths.homeDir);

    const QByteArray rpt = base.toUtf8() + "/veltra/vtrptsts";
    EXPECT_EQ(readAll(userFile()), "[International]\r\nLanguage=Deutsch\r\n[FILES]\r\nRptSettingsDir=" + rpt +
                                       "\r\nPageIndiceDir=" + base.toUtf8() + "/veltra/vtindice\r\nReOpenDir=" + rpt +
                                       "\r\nBookMarkDir=" + rpt + "\r\nNotesDir=" + rpt + "\r\n");
    EXPECT_EQ(s.Language, "DEUTSCH");
    EXPECT_EQ(s.RptSettingsDir, QString::fromUtf8(rpt) + "/");
    EXPECT_EQ(s.PageIndiceDir, base + "/veltra/vtindice");
    EXPECT_EQ(s.ReOpenDir, QString::fromUtf8(rpt) + "/");
    EXPECT_EQ(s.BookMarkDir, QString::fromUtf8(rpt) + "/");
    EXPECT_EQ(s.NotesDir, QString::fromUtf8(rpt) + "/");
    EXPECT_EQ(s.ReopenListPath, QString::fromUtf8(rpt) + "/VTROSVFL.LST");
    EXPECT_EQ(s.UserIniPath, userFile());
    EXPECT_TRUE(QFileInfo(QString::fromUtf8(rpt)).isDir());
    EXPECT_TRUE(QFileInfo(base + "/veltra/vtindice").isDir());

    // The next start finds everything in the per-user file and asks nothing.
    const QByteArray userBytes = readAll(userFile());
    sink.clear();
    const Settings again = load();
    EXPECT_EQ(sink.count(), 0);
    EXPECT_EQ(again.NotesDir, s.NotesDir);
    EXPECT_EQ(readAll(userFile()), userBytes);
}

TEST_F(SettingsTest, CancelledBaseFolderQuestionUsesTheHomeFolder)
{
    // No answer queued: the input box is cancelled.
    const Settings s = load("[Adminstration]\r\nAllowUserIni=Y\r\n");
    EXPECT_EQ(s.RptSettingsDir, paths.homeDir + "/veltra/vtrptsts/");
    EXPECT_EQ(s.PageIndiceDir, paths.homeDir + "/veltra/vtindice");
    EXPECT_EQ(ProfileFile(userFile()).readString("International", "Language", "?"), "English");
}

TEST_F(SettingsTest, PerUserIndexFolderFollowsAnExistingSettingsFolder)
{
    const QString base = scratch.filePath("mine");
    QDir().mkpath(paths.userDir);
    writeAll(userFile(), "[FILES]\r\nRptSettingsDir=" + base.toUtf8() + "/veltra/vtrptsts/\r\n");
    const Settings s = load("[Adminstration]\r\nAllowUserIni=Yes\r\n");
    EXPECT_EQ(sink.count(), 0);  // no question: the folder is known
    EXPECT_EQ(s.PageIndiceDir, base + "/veltra/vtindice");
    EXPECT_EQ(s.NotesDir, base + "/veltra/vtrptsts/");
}

TEST_F(SettingsTest, OlderMasterFileIsConvertedOnce)
{
    struct Case {
        const char *what;
        QByteArray compression;
        const char *archive;
    };
    const Case cases[] = {
        {"compression off", "[Compression]\r\nCompressReports=No\r\nLevel=9\r\n", "HIDE"},
        {"no compression section", "", "HIDE"},
        {"compression on", "[Compression]\r\nCompressReports=yes\r\n", "ENABLE"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        sink.clear();
        QFile::remove(master());
        const QByteArray old = "[Adminstration]\r\nOpen=Disable\r\nPMIcons=1\r\nExeInSchPath=x\r\n"
                               "OnOpenPromptForHdr=y\r\n[View]\r\nLaunchModal=1\r\nToolBarPos=top\r\n"
                               "MaxNumViewLinesInHdr=9\r\nStatusBar=Hide\r\n" +
                               c.compression +
                               "[Page Indices]\r\nReadAhead=1\r\nExcludeExtensions=.X\r\n"
                               "[FILES]\r\nFileFilter=Old|*.old\r\n";
        writeAll(paths.programDir + "Veltra.ini", old);
        const Settings s = load();
        EXPECT_TRUE(outcome.convertedMaster);
        EXPECT_EQ(sink.count(), 0);
        EXPECT_EQ(readAll(paths.programDir + "Veltra.ini"), old);  // left in place
        ProfileFile file(master());
        EXPECT_FALSE(file.hasSection("Compression"));
        for (const char *gone : {"PMIcons", "ExeInSchPath", "OnOpenPromptForHdr"})
            EXPECT_EQ(file.readString("Adminstration", gone, "?"), "?") << gone;
        for (const char *gone : {"LaunchModal", "ToolBarPos", "MaxNumViewLinesInHdr"})
            EXPECT_EQ(file.readString("View", gone, "?"), "?") << gone;
        EXPECT_EQ(file.readString("Page Indices", "ReadAhead", "?"), "?");
        EXPECT_EQ(file.readString("Page Indices", "ExcludeExtensions", "?"), "");  // written again, empty
        EXPECT_EQ(file.readString("Adminstration", "Archive", "?"), QString::fromLatin1(c.archive) == "HIDE" ? "Hide" : "Enable");
        EXPECT_EQ(s.Archive, c.archive);
        EXPECT_EQ(s.Open, "DISABLE");
        EXPECT_EQ(s.StatusBar, "HIDE");
        EXPECT_EQ(s.FileFilter, DefaultFileFilter());

        // Once converted, the older file is no longer looked at.
        sink.clear();
        const QByteArray converted = readAll(master());
        load();
        EXPECT_FALSE(outcome.convertedMaster);
        EXPECT_EQ(readAll(master()), converted);
        QFile::remove(paths.programDir + "Veltra.ini");
    }
}

TEST_F(SettingsTest, OlderPerUserFileIsCopied)
{
    QDir().mkpath(paths.userDir);
    writeAll(paths.userDir + "/veltra.INI", "[FILES]\r\nRptSettingsDir=" + paths.homeDir.toUtf8() + "\r\n");
    const Settings s = load("[Adminstration]\r\nAllowUserIni=Yes\r\n");
    EXPECT_TRUE(outcome.convertedUser);
    EXPECT_EQ(sink.count(), 0);
    EXPECT_EQ(s.RptSettingsDir, paths.homeDir + "/");
    EXPECT_TRUE(QFileInfo(userFile()).isFile());
}

TEST_F(SettingsTest, SettingsFileNamesIgnoreCase)
{
    writeAll(paths.programDir + "Veltra32.ini", "[View]\r\nStatusBar=Hide\r\n");
    writeAll(paths.programDir + "Veltra.ini", "[View]\r\nStatusBar=Old\r\n");
    const Settings s = load();
    EXPECT_FALSE(outcome.convertedMaster);
    EXPECT_EQ(s.MasterIniPath, paths.programDir + "Veltra32.ini");
    EXPECT_EQ(s.StatusBar, "HIDE");
    EXPECT_FALSE(QFileInfo::exists(master()));
}

TEST_F(SettingsTest, EarlierGreenBarChoicesBecomeTheDefaults)
{
    writeAll(paths.programDir + "vt32v5cv.ini",
             "[Adminstration]\r\nAllowChgGreenBarEffect=No\r\n[View]\r\nGreenBarEffect=LightGray\r\n");
    const QByteArray earlier = readAll(paths.programDir + "vt32v5cv.ini");
    const Settings s = load();
    EXPECT_EQ(s.AllowChgGreenBarEffect, "NO");
    EXPECT_EQ(s.GreenBarEffect, "LIGHTGRAY");
    ProfileFile file(master());
    EXPECT_EQ(file.readString("Adminstration", "AllowChgGreenBarEffect", "?"), "No");
    EXPECT_EQ(file.readString("View", "GreenBarEffect", "?"), "LightGray");
    EXPECT_EQ(readAll(paths.programDir + "vt32v5cv.ini"), earlier);  // only read

    // A key already in the master file wins; a "?" there means "no choice".
    QFile::remove(master());
    writeAll(paths.programDir + "vt32v5cv.ini", "[View]\r\nGreenBarEffect=?\r\n");
    const Settings t = load("[Adminstration]\r\nAllowChgGreenBarEffect=Yes\r\n");
    EXPECT_EQ(t.AllowChgGreenBarEffect, "YES");
    EXPECT_EQ(t.GreenBarEffect, "MONEYGREEN");
}

TEST_F(SettingsTest, MasterNamedOnTheCommandLine)
{
    const QString other = scratch.filePath("Other.ini");
    writeAll(other, "[Print]\r\nLandPort=P\r\n");
    paths.masterIniOverride = other;
    const Settings s = load();
    EXPECT_EQ(s.MasterIniPath, other);
    EXPECT_EQ(s.LandPort, "P");
    EXPECT_FALSE(QFileInfo::exists(master()));
    EXPECT_EQ(ProfileFile(other).readString("Adminstration", "Open", "?"), "Enable");

    // A name with no file behind it: the program's own master, no message.
    paths.masterIniOverride = scratch.filePath("missing.ini");
    const Settings t = load();
    EXPECT_EQ(t.MasterIniPath, master());
    EXPECT_EQ(sink.count(), 0);
    EXPECT_FALSE(QFileInfo::exists(scratch.filePath("missing.ini")));
}
