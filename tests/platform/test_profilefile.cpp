#include "platform/profilefile.h"
#include "../filebytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace veltra;
using veltra::test::readAll;
using veltra::test::writeAll;

TEST(ProfileText, ReadsValuesTheWayTheFileHoldsThem)
{
    struct Case {
        const char *what;
        QByteArray text;
        const char *section;
        const char *key;
        std::optional<QString> expected;
    };
    static const char binary[] = "\x00\xff[A]\x01\n[A]\r\nk=\xc3\xa9\r\n\x00";
    const QByteArray basic = "[View]\r\nStatusBar=Show\r\nHeaderFormat=\r\n[Print]\r\nLandPort=L\r\n";
    const Case cases[] = {
        {"plain", basic, "View", "StatusBar", QStringLiteral("Show")},
        {"names ignore case", basic, "vIEW", "STATUSBAR", QStringLiteral("Show")},
        {"empty value is a value", basic, "View", "HeaderFormat", QString()},
        {"key of another section", basic, "View", "LandPort", std::nullopt},
        {"missing section", basic, "Font", "ViewFont", std::nullopt},
        {"blanks around names and value", "  [ View ]  \n  StatusBar  =  Hide me  \n", "View", "StatusBar",
         QStringLiteral("Hide me")},
        {"LF-only lines", "[A]\nk=1\n[B]\nk=2\n", "B", "k", QStringLiteral("2")},
        {"no line end at the end", "[A]\r\nk=last", "A", "k", QStringLiteral("last")},
        {"value holding '='", "[A]\r\nk=a=b\r\n", "A", "k", QStringLiteral("a=b")},
        {"quotes around the whole value go", "[A]\r\nk=\"a b\"\r\n", "A", "k", QStringLiteral("a b")},
        {"a lone inch sign stays", "[A]\r\nk=0\"\r\n", "A", "k", QStringLiteral("0\"")},
        {"first of duplicate keys", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", QStringLiteral("1")},
        {"first of duplicate sections", "[A]\r\nx=1\r\n[A]\r\nk=2\r\n", "A", "k", std::nullopt},
        {"keys before any section are nobody's", "k=0\r\n[A]\r\n", "A", "k", std::nullopt},
        {"comment line is no key", "[A]\r\n;k=1\r\n", "A", "k", std::nullopt},
        {"line without '='", "[A]\r\nk\r\n", "A", "k", std::nullopt},
        {"section without ']'", "[A\r\nk=1\r\n", "A", "k", QStringLiteral("1")},
        {"binary around", QByteArray(binary, sizeof binary - 1), "A", "k",
         QStringLiteral("\u00e9")},
        {"empty text", "", "A", "k", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ProfileText text(c.text);
        EXPECT_EQ(text.value(QString::fromLatin1(c.section), QString::fromLatin1(c.key)), c.expected);
    }
}

TEST(ProfileText, WritesChangeOnlyTheirOwnLine)
{
    struct Case {
        const char *what;
        QByteArray before;
        const char *section;
        const char *key;
        const char *value;
        QByteArray after;
    };
    const Case cases[] = {
        {"replace in place, other lines byte for byte", "; admin file\n[View]\r\nStatusBar=Show\nCleanScreen=N\n",
         "view", "statusbar", "Hide", "; admin file\n[View]\r\nStatusBar=Hide\r\nCleanScreen=N\n"},
        {"replace keeps the file's spelling of the key", "[A]\r\n  OpenDialog = Custom  \r\n", "A", "OPENDIALOG",
         "Std", "[A]\r\nOpenDialog=Std\r\n"},
        {"append at the end of the section, before blank lines", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A", "k", "v",
         "[A]\r\nx=1\r\nk=v\r\n\r\n[B]\r\ny=2\r\n"},
        {"append to the last section", "[A]\r\nx=1\r\n", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n"},
        {"append after a last line without line end", "[A]\r\nx=1", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n"},
        {"append to an empty section", "[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
        {"new section at the end", "[A]\r\nx=1\r\n", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        {"new section after text without line end", "[A]\nx=1", "B", "k", "v", "[A]\nx=1\r\n[B]\r\nk=v\r\n"},
        {"new section in an empty text", "", "B", "k", "v", "[B]\r\nk=v\r\n"},
        {"empty value", "[A]\r\nk=1\r\n", "A", "k", "", "[A]\r\nk=\r\n"},
        {"only the first duplicate section changes", "[A]\r\nx=1\r\n[A]\r\nk=1\r\n", "A", "k", "2",
         "[A]\r\nx=1\r\nk=2\r\n[A]\r\nk=1\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ProfileText text(c.before);
        ASSERT_TRUE(text.setValue(QString::fromLatin1(c.section), QString::fromLatin1(c.key),
                                  QString::fromLatin1(c.value)));
        EXPECT_EQ(text.content(), c.after);
        EXPECT_EQ(text.value(QString::fromLatin1(c.section), QString::fromLatin1(c.key)),
                  QString::fromLatin1(c.value));
    }
}

TEST(ProfileText, RefusesWhatCannotBeOneLine)
{
    const QByteArray before = "[A]\r\nk=1\r\n";
    const struct {
        const char *section, *key, *value;
    } cases[] = {
        {"", "k", "v"},       {"  ", "k", "v"},    {"A]", "k", "v"},     {"A\nB", "k", "v"},
        {"A", "", "v"},       {"A", "a=b", "v"},   {"A", "[k", "v"},     {"A", ";k", "v"},
        {"A", "k\rx", "v"},    {"A", "k", "1\r\n[B]"}, {"A", "k", "x\ny"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((QByteArray(c.section) + "/" + c.key + "/" + c.value).toStdString());
        ProfileText text(before);
        EXPECT_FALSE(text.setValue(QString::fromLatin1(c.section), QString::fromLatin1(c.key),
                                   QString::fromLatin1(c.value)));
        EXPECT_EQ(text.content(), before);
    }
}

TEST(ProfileText, RemovesKeysAndSections)
{
    ProfileText text(QByteArray("[Adminstration]\r\nPMIcons=1\r\nOpen=Enable\r\n"
                                "[Compression]\r\nCompressReports=YES\r\n\r\n"
                                "[View]\r\nLaunchModal=1\r\n[compression]\nx=1\n"));
    EXPECT_TRUE(text.removeKey("ADMINSTRATION", "pmicons"));
    EXPECT_FALSE(text.removeKey("Adminstration", "PMIcons"));
    EXPECT_TRUE(text.removeSection("Compression"));  // both copies
    EXPECT_FALSE(text.hasSection("Compression"));
    EXPECT_FALSE(text.removeSection("Compression"));
    EXPECT_EQ(text.content(), QByteArray("[Adminstration]\r\nOpen=Enable\r\n[View]\r\nLaunchModal=1\r\n"));
}

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(ProfileFileTest, MissingFileReadsDefaultsAndTheFirstWriteCreatesIt)
{
    ProfileFile file(path("VELTRA32.INI"));
    EXPECT_FALSE(file.exists());
    EXPECT_EQ(file.readString("View", "StatusBar", "?"), "?");
    ASSERT_TRUE(file.writeString("View", "StatusBar", "Show"));
    ASSERT_TRUE(file.writeString("View", "CleanScreen", "N"));
    ASSERT_TRUE(file.writeString("Print", "TopMargin", "0\""));
    EXPECT_EQ(readAll(file.path()), QByteArray("[View]\r\nStatusBar=Show\r\nCleanScreen=N\r\n"
                                               "[Print]\r\nTopMargin=0\"\r\n"));
    EXPECT_EQ(file.readString("print", "topmargin", "?"), "0\"");
}

TEST_F(ProfileFileTest, ReadsSeeChangesMadeByOthers)
{
    const QString p = path("x.ini");
    ProfileFile file(p);
    writeAll(p, "[A]\r\nk=1\r\n");
    EXPECT_EQ(file.readString("A", "k", "?"), "1");
    writeAll(p, "[A]\r\nk=22\r\n");
    EXPECT_EQ(file.readString("A", "k", "?"), "22");
    // A write reads the file again first: the other writer's key survives.
    writeAll(p, "[A]\r\nk=22\r\nother=3\r\n");
    ASSERT_TRUE(file.writeString("A", "k", "4"));
    EXPECT_EQ(readAll(p), QByteArray("[A]\r\nk=4\r\nother=3\r\n"));
}

TEST_F(ProfileFileTest, FailedWritesSayTheyFailedAndLeaveNothingBehind)
{
    writeAll(path("plainfile"), "not a folder");
    QDir(dir.path()).mkdir("folder.ini");
    struct Case {
        const char *what;
        QString target;
    } cases[] = {
        {"parent is a regular file", path("plainfile") + "/VELTRA32.INI"},
        {"parent does not exist", path("nowhere") + "/VELTRA32.INI"},
        {"the path is a folder", path("folder.ini")},
        {"empty path", QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ProfileFile file(c.target);
        EXPECT_FALSE(file.writeString("A", "k", "v"));
        EXPECT_FALSE(file.errorString().isEmpty());
        EXPECT_EQ(file.readString("A", "k", "?"), "?");
    }
    EXPECT_EQ(readAll(path("plainfile")), QByteArray("not a folder"));
    EXPECT_TRUE(QFileInfo(path("folder.ini")).isDir());
    EXPECT_FALSE(QFileInfo::exists(path("nowhere")));
    // Nothing but the two things made above is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);
}

TEST_F(ProfileFileTest, RefusedNamesDoNotTouchTheFile)
{
    const QString p = path("x.ini");
    writeAll(p, "[A]\nk=1");
    ProfileFile file(p);
    EXPECT_FALSE(file.writeString("A", "k", "1\r\n[Injected]"));
    EXPECT_FALSE(file.errorString().isEmpty());
    EXPECT_EQ(readAll(p), QByteArray("[A]\nk=1"));
    // Removing what is not there succeeds without writing.
    EXPECT_TRUE(file.removeKey("A", "missing"));
    EXPECT_TRUE(file.eraseSection("Missing"));
    EXPECT_EQ(readAll(p), QByteArray("[A]\nk=1"));
}

TEST_F(ProfileFileTest, OddContentIsReadAndKeptAroundAWrite)
{
    const QString p = path("odd.ini");
    QByteArray odd(2 * 1024 * 1024, 'x');  // an endless line of two MiB
    odd.prepend(QByteArray("\x00\x01\xfe\r", 4));
    odd.append("\n[A]\nk=1");
    writeAll(p, odd);
    ProfileFile file(p);
    EXPECT_EQ(file.readString("A", "k", "?"), "1");
    ASSERT_TRUE(file.writeString("A", "j", "2"));
    const QByteArray after = readAll(p);
    EXPECT_EQ(after, odd + "\r\nj=2\r\n");
}
