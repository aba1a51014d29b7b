#include "app/commandline.h"

#include "platform/messagesink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace veltra;

namespace {

class FakeArchives : public ArchiveAccess {
public:
    QList<MemberEntry> members;
    QString goodPassword = "secret";
    int testOpen(const QString &) override { return 0; }
    int readRange(const QString &, const QString &, const QString &, qint64, qint64, char *) override { return 0; }
    int lookupMember(const QString &, const QString &, MemberInfo &) override { return 0; }
    int unzipMember(const QString &, const QString &, const QString &, char *, qint64, std::atomic<qint64> *,
                    const std::function<void(int)> &, const std::atomic<bool> &) override { return 1; }
    bool hasMember(const QString &, const QString &) override { return false; }
    int unzipSmall(const QString &, const QString &, const QString &, QByteArray &) override { return 0; }
    bool listMembers(const QString &, QList<MemberEntry> &out) override { out = members; return true; }
    bool testPassword(const QString &, const QString &, const QString &p) override { return p == goodPassword; }
};

struct Fixture {
    QTemporaryDir dir;
    ScriptedMessageSink sink;
    FakeArchives archives;
    QString file(const QString &name, const QByteArray &data = "1X\r\n")
    {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(data);
        return f.fileName();
    }
    CommandLine run(const QStringList &args) { return ProcessCommandLine(args, "/prog/", sink, &archives); }
};

} // namespace

TEST(CommandLine, ReportDirectoryIniAndNothing)
{
    Fixture fx;
    const QString report = fx.file("a.txt");

    CommandLine plain = fx.run({report});
    ASSERT_TRUE(plain.open);
    EXPECT_EQ(plain.open->PendingRptPath, report);
    EXPECT_FALSE(plain.open->RptIsArchived);

    CommandLine ini = fx.run({"INI=/etc/x.ini:" + report});
    EXPECT_EQ(ini.masterIniPath, "/etc/x.ini");
    ASSERT_TRUE(ini.open);
    EXPECT_EQ(ini.open->PendingRptPath, report);
    EXPECT_EQ(MasterIniFromArguments({"INI=/etc/x.ini:" + report}), "/etc/x.ini");
    EXPECT_FALSE(fx.run({"INI=/etc/x.ini"}).open);

    CommandLine dir = fx.run({fx.dir.path() + "/"});
    EXPECT_FALSE(dir.open);
    EXPECT_EQ(dir.reportDir.value(), fx.dir.path());

    EXPECT_FALSE(fx.run({"NO FILE ON CL"}).open);
    EXPECT_EQ(fx.sink.count(), 0);
}

TEST(CommandLine, BadFirstArgumentsAreReported)
{
    Fixture fx;
    const QString missing = fx.dir.filePath("missing.txt");
    EXPECT_FALSE(fx.run({missing}).open);
    const QString empty = fx.file("empty.txt", "");
    EXPECT_FALSE(fx.run({empty}).open);
    CommandLine d = fx.run({"/no/such/dir/"});
    EXPECT_EQ(d.reportDir.value(), "/prog/");

    const auto m = fx.sink.messages();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].text, "Invalid Report Entry on Command Line\r\n" + missing);
    EXPECT_EQ(m[1].title, "FileOpen Error");
    EXPECT_EQ(m[1].text, "FileSize = 0 \r\n" + empty);
    EXPECT_EQ(m[2].text, "Invalid ReportDir Entry on Command Line\r\n/no/such/dir");
}

struct NumberCase {
    const char *name;
    QStringList tail;  // arguments 2..7
    int header;
    qint64 caller;
    std::optional<int> viewFont;
    int messages;
};

class Numbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(Numbers, LaterArguments)
{
    Fixture fx;
    CommandLine cl = fx.run(QStringList{"NO FILE ON CL"} + GetParam().tail);
    EXPECT_EQ(cl.headerLineCount, GetParam().header);
    EXPECT_EQ(cl.callerWindow, GetParam().caller);
    EXPECT_EQ(cl.viewFontSize, GetParam().viewFont);
    EXPECT_EQ(fx.sink.count(), GetParam().messages);
}

INSTANTIATE_TEST_SUITE_P(Cases, Numbers, ::testing::Values(
    NumberCase{"Header5", {"5"}, 5, 0, std::nullopt, 0},
    NumberCase{"Header55", {"55"}, 55, 0, std::nullopt, 0},
    NumberCase{"Header07", {"07"}, 7, 0, std::nullopt, 0},
    NumberCase{"Header100", {"100"}, -1, 0, std::nullopt, 0},
    NumberCase{"Header5X", {"5X"}, -1, 0, std::nullopt, 0},
    NumberCase{"ViewFontRaisedToFive", {"0", "0", "C", "P", "X", "3"}, 0, 0, 5, 0},
    NumberCase{"ViewFontX", {"0", "123", "C", "P", "X", "X"}, 0, 123, std::nullopt, 0},
    NumberCase{"BadNumbersOneBoxStartUpGoesOn", {"2", "abc", "U", "L", "7q", "9z"}, 2, 0, std::nullopt, 1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CommandLine, ArchiveWithReportAndIndexAsksPasswordAndOpensTheReport)
{
    Fixture fx;
    const QString zip = fx.file("day.zip", "PK");
    fx.archives.members = {{"JAN.VTI", false}, {"JAN.TXT", true}};
    fx.sink.pushAnswer(true, "secret");
    CommandLine cl = fx.run({zip});
    ASSERT_TRUE(cl.open);
    EXPECT_TRUE(cl.open->RptIsArchived);
    EXPECT_EQ(cl.open->PendingRptPath, "JAN.TXT");
    EXPECT_EQ(cl.open->PendingArchiveName, zip);
    EXPECT_EQ(cl.open->PendingPassword, "-o -s#secret#");
    EXPECT_EQ(cl.archivePassword, "secret");
    ASSERT_EQ(fx.sink.count(), 1);
    EXPECT_EQ(fx.sink.messages()[0].text, "Enter Password for Archive");
}

TEST(CommandLine, ArchiveFailures)
{
    Fixture fx;
    const QString zip = fx.file("day.zip", "PK");
    fx.archives.members = {};
    EXPECT_FALSE(fx.run({zip}).open);
    fx.archives.members = {{"A.TXT", false}, {"B.TXT", false}};
    EXPECT_FALSE(fx.run({zip}).open);
    fx.archives.members = {{"A.TXT", true}};
    fx.sink.pushAnswer(true, "wrong");
    EXPECT_FALSE(fx.run({zip}).open);
    fx.sink.pushAnswer(false);  // cancelled: no message
    EXPECT_FALSE(fx.run({zip}).open);

    const QStringList t = fx.sink.texts();
    ASSERT_EQ(t.size(), 5);
    EXPECT_EQ(t[0], "Archive on Command Line contains No Reports\r\n" + zip);
    EXPECT_TRUE(t[1].startsWith("Archives on Command Line are limited to ONE Report.\r\n"));
    EXPECT_EQ(t[3], "Invalid Password. Verify password and open file from File Open dialog.\r\n" + zip);
}
