#include "util/pathutil.h"

#include <gtest/gtest.h>

using namespace veltra;

namespace {

const QChar Backslash = QLatin1Char('\\');
const QChar Slash = QLatin1Char('/');

TEST(ParentFolderName, SecondLastPieceForBothSeparators)
{
    const struct {
        QString path;
        QChar sep;
        QString parent;
    } cases[] = {
        {"C:\\REPORTS\\DAILY\\X.TXT", Backslash, "DAILY"},
        {"/srv/REPORTS/DAILY/X.TXT", Slash, "DAILY"},
        {"/X.TXT", Slash, ""},            // the root holds the file: empty first piece
        {"C:\\X.TXT", Backslash, "C:"},
        {"X.TXT", Backslash, ""},         // no separator
        {"C:\\REPORTS\\DAILY\\", Backslash, "REPORTS"},  // trailing separator adds no piece
        {"/srv/a/b.txt", Backslash, ""},  // the other separator does not count
    };
    for (const auto &c : cases)
        EXPECT_EQ(parentFolderName(c.path, c.sep), c.parent) << c.path.toStdString();
}

struct ShortenCase {
    const char *name;
    QString path;
    qsizetype max;
    QChar sep;
    QString expected;
    bool exact;
};

void PrintTo(const ShortenCase &c, std::ostream *os) { *os << c.name; }

class ShortenPath : public ::testing::TestWithParam<ShortenCase> {};

TEST_P(ShortenPath, Shapes)
{
    const ShortenCase &c = GetParam();
    QString path = c.path;
    EXPECT_EQ(shortenPath(path, c.max, c.sep), c.exact);
    EXPECT_EQ(path, c.expected);
    EXPECT_LE(path.size(), qMax(c.max, c.path.size()));
}

const QString FileName27 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVW.TXT");
const QString Long50 = QString(46, QLatin1Char('N')) + QStringLiteral(".TXT");

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortenPath,
    ::testing::Values(
        // Front of the path and the whole file name.
        ShortenCase{"frontAndFileName", "G:\\REPORTS\\TESTDIRX\\TESTDIRX\\" + FileName27, 35, Backslash,
                    "G:\\R...\\" + FileName27, true},
        ShortenCase{"frontAndFileNameSlash", "/s/REPORTS/TESTDIRX/TESTDIRX/" + FileName27, 35, Slash,
                    "/s/R.../" + FileName27, true},
        // Nothing to do.
        ShortenCase{"fits", "C:\\A\\B.TXT", 10, Backslash, "C:\\A\\B.TXT", true},
        ShortenCase{"shorter", "C:\\A\\B.TXT", 35, Backslash, "C:\\A\\B.TXT", true},
        ShortenCase{"maxTooSmall", "C:\\A\\B.TXT", 3, Backslash, "C:\\A\\B.TXT", false},
        // One separator or none: cut at the end.
        ShortenCase{"oneSeparator", "C:\\" + Long50, 20, Backslash, "C:\\" + Long50.left(14) + "...", true},
        ShortenCase{"noSeparator", Long50, 10, Backslash, Long50.left(7) + "...", true},
        ShortenCase{"otherSeparatorOnly", "/a/b/" + Long50, 10, Backslash, "/a/b/NN...", true},
        // Long file name: first folder mark, start of the file name, dots.
        ShortenCase{"longFileName", "C:\\DIR\\" + Long50, 35, Backslash,
                    "C:\\...\\" + Long50.left(25) + "...", true},
        ShortenCase{"longFileNameSlash", "/DIR/" + Long50, 20, Slash, "/.../" + Long50.left(12) + "...", true},
        // A long first folder would make the marked text longer than allowed.
        ShortenCase{"longFirstFolder", QString(32, QLatin1Char('A')) + "\\B\\C", 35, Backslash,
                    QString(32, QLatin1Char('A')) + "...", true},
        ShortenCase{"tinyMax", "C:\\A\\B.TXT", 4, Backslash, "C...", true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ShortenPath, ExampleFromTheLoaderIsExactly35)
{
    QString path = "G:\\REPORTS\\TESTDIRX\\TESTDIRX\\" + FileName27;
    ASSERT_EQ(path.size(), 56);
    EXPECT_TRUE(shortenPath(path, 35, Backslash));
    EXPECT_EQ(path.size(), 35);
    EXPECT_TRUE(path.startsWith("G:\\R...\\"));
}

TEST(FileNameParts, NameExtensionDirectory)
{
    const struct {
        QString path;
        QChar sep;
        QString name, ext, base, dir;
    } cases[] = {
        {"C:\\RPT\\DAILY.TXT", Backslash, "DAILY.TXT", "TXT", "DAILY", "C:\\RPT"},
        {"/srv/rpt/daily.txt", Slash, "daily.txt", "txt", "daily", "/srv/rpt"},
        {"/srv/rpt/a.b.c", Slash, "a.b.c", "c", "a.b", "/srv/rpt"},
        {"/srv/rpt.d/noext", Slash, "noext", "", "noext", "/srv/rpt.d"},  // dot of the folder ignored
        {"C:\\X.TXT", Backslash, "X.TXT", "TXT", "X", "C:\\"},           // drive root keeps its separator
        {"/x.txt", Slash, "x.txt", "txt", "x", "/"},
        {"C:X.TXT", Backslash, "X.TXT", "TXT", "X", "C:"},
        {"a:b.txt", Slash, "a:b.txt", "txt", "a:b", ""},                  // ':' is a name character on Linux
        {"x.txt", Slash, "x.txt", "txt", "x", ""},
        {"/srv/rpt/", Slash, "", "", "", "/srv/rpt"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(fileNamePart(c.path, c.sep), c.name);
        EXPECT_EQ(fileExtension(c.path, c.sep), c.ext);
        EXPECT_EQ(nameWithoutExtension(c.path, c.sep), c.base);
        EXPECT_EQ(directoryPart(c.path, c.sep), c.dir);
    }
}

}  // namespace
