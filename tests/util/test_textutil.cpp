#include "util/textutil.h"

#include <gtest/gtest.h>

using namespace veltra;

namespace {

struct SliceCase {
    const char *name;
    QString text;
    qsizetype start;  // unused by left/right
    qsizetype count;
    QString left, right, middle;
};

void PrintTo(const SliceCase &c, std::ostream *os) { *os << c.name; }

class Slicing : public ::testing::TestWithParam<SliceCase> {};

TEST_P(Slicing, LeftRightMiddle)
{
    const SliceCase &c = GetParam();
    EXPECT_EQ(leftPart(c.text, c.count), c.left);
    EXPECT_EQ(rightPart(c.text, c.count), c.right);
    EXPECT_EQ(middlePart(c.text, c.start, c.count), c.middle);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Slicing,
    ::testing::Values(
        SliceCase{"inside", "ABCDEF", 2, 3, "ABC", "DEF", "BCD"},
        SliceCase{"countBeyondEnd", "ABC", 2, 10, "ABC", "ABC", "BC"},
        SliceCase{"zeroCount", "ABC", 1, 0, "", "", ""},
        SliceCase{"negativeCount", "ABC", 1, -1, "", "", ""},
        SliceCase{"startBelowOne", "ABCDEF", -5, 2, "AB", "EF", "AB"},
        SliceCase{"startZero", "ABCDEF", 0, 2, "AB", "EF", "AB"},
        SliceCase{"startAtLast", "ABC", 3, 5, "ABC", "ABC", "C"},
        SliceCase{"startBeyondEnd", "ABC", 4, 1, "A", "C", ""},
        SliceCase{"emptyText", "", 1, 3, "", "", ""}),
    [](const auto &info) { return std::string(info.param.name); });

struct ReplaceCase {
    QString text, find, replacement, expected;
};

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning)
{
    const std::vector<ReplaceCase> cases = {
        {"aaaa", "aa", "a", "aa"},            // replaced text is not searched again
        {"aaa", "aa", "b", "ba"},             // left to right, no overlap
        {"abc", "x", "y", "abc"},             // absent: unchanged
        {"abcabc", "b", "", "acac"},          // deletion
        {"AbAb", "a", "x", "AbAb"},           // case-sensitive
        {"a.b", "a", "aa", "aa.b"},           // replacement containing find
        {"abc", "", "x", "abc"},              // empty find leaves the text alone
        {"", "a", "b", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(replaceAll(c.text, c.find, c.replacement), c.expected)
            << c.text.toStdString() << " / " << c.find.toStdString();
        EXPECT_EQ(replaceAll(c.text.toLatin1(), c.find.toLatin1(), c.replacement.toLatin1()),
                  c.expected.toLatin1());
    }
}

struct SplitCase {
    QString text, delimiter;
    QStringList pieces;
};

TEST(SplitText, KeepsInnerAndLeadingEmptyPiecesButNotTrailing)
{
    const std::vector<SplitCase> cases = {
        {"A/B/", "/", {"A", "B"}},
        {"/A", "/", {"", "A"}},
        {"A", "/", {"A"}},
        {"", "/", {}},
        {"/", "/", {""}},
        {"A//B", "/", {"A", "", "B"}},
        {"A//", "/", {"A", ""}},                 // only the piece after the last one is dropped
        {"A<>B<>C", "<>", {"A", "B", "C"}},      // delimiter of any length
        {"A<>B<", "<>", {"A", "B<"}},
        {"AB", "", {"AB"}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(splitText(c.text, c.delimiter), c.pieces) << c.text.toStdString();
        QList<QByteArray> bytes;
        for (const QString &p : c.pieces)
            bytes.append(p.toLatin1());
        EXPECT_EQ(splitText(c.text.toLatin1(), c.delimiter.toLatin1()), bytes) << c.text.toStdString();
    }
}

TEST(NameBeforeDot, TextBeforeFirstDot)
{
    EXPECT_EQ(nameBeforeDot("REPORT.TXT.VTI"), "REPORT");
    EXPECT_EQ(nameBeforeDot(".hidden"), "");
    EXPECT_EQ(nameBeforeDot("NODOT"), "");
}

struct ScanCase {
    QString text;
    char ch;
    qsizetype arg;
    qsizetype forward, backward;
};

TEST(Scan, ForwardFromStartBackwardWithinLimit)
{
    //                 1234567
    const QString t = "A.B.C.D";
    const std::vector<ScanCase> cases = {
        {t, '.', 1, 2, 0},    // the first character holds no '.'
        {t, '.', 3, 4, 2},
        {t, '.', 4, 4, 4},
        {t, '.', 7, 0, 6},
        {t, '.', 0, 2, 6},    // start 0 counts as 1; limit 0 is the whole text
        {t, '.', -3, 2, 6},
        {t, '.', 99, 0, 6},   // beyond the end
        {t, 'X', 1, 0, 0},
        {"", '.', 1, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arg);
        EXPECT_EQ(scanForward(c.text, QLatin1Char(c.ch), c.arg), c.forward);
        EXPECT_EQ(scanForward(c.text.toLatin1(), c.ch, c.arg), c.forward);
        EXPECT_EQ(scanBackward(c.text, QLatin1Char(c.ch), c.arg), c.backward);
        EXPECT_EQ(scanBackward(c.text.toLatin1(), c.ch, c.arg), c.backward);
    }
}

TEST(CharacterRoutines, TrimRemoveSubstituteCount)
{
    EXPECT_EQ(trimText(QString("\t\r\n  AB C \x1f") + QChar(0)), "AB C");
    EXPECT_EQ(trimText(" \t "), "");
    EXPECT_EQ(trimText(QString::fromUtf8("\u00a0X\u00a0")), QString::fromUtf8("\u00a0X\u00a0"));  // above 32 kept

    EXPECT_EQ(removeChars("A-B C-D", "- "), "ABCD");
    EXPECT_EQ(removeChars("ABC", ""), "ABC");

    EXPECT_EQ(substituteChars("A/B\\C", "/\\", "__"), "A_B_C");
    EXPECT_EQ(substituteChars("abc", "abc", "bca"), "bca");   // no chained substitution
    EXPECT_EQ(substituteChars("abc", "abc", "X"), "Xbc");     // only the common length counts

    EXPECT_EQ(charCount("A,B,,C", QLatin1Char(',')), 3);
    EXPECT_EQ(charString(QLatin1Char('-'), 4), "----");
    EXPECT_EQ(charString(QLatin1Char('-'), -1), "");
    EXPECT_EQ(padLeft("42", 5, QLatin1Char('0')), "00042");
    EXPECT_EQ(padLeft("123456", 3), "123456");
}

TEST(GroupThousands, SeparatorEveryThreeDigits)
{
    const std::vector<std::pair<qint64, QString>> cases = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {123456, "123,456"},
        {1234567, "1,234,567"},
        {-1234567, "-1,234,567"},
        {-999, "-999"},
        {std::numeric_limits<qint64>::min(), "-9,223,372,036,854,775,808"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(groupThousands(value), text);
    EXPECT_EQ(groupThousands(1234567, QLatin1Char('.')), "1.234.567");
}

TEST(SubstringPosition, OneBasedFromStart)
{
    EXPECT_EQ(substringPosition("ABCABC", "BC"), 2);
    EXPECT_EQ(substringPosition("ABCABC", "BC", 3), 5);
    EXPECT_EQ(substringPosition("ABCABC", "X"), 0);
    EXPECT_EQ(substringPosition("ABC", ""), 0);
    EXPECT_EQ(substringPosition("ABC", "C", 9), 0);
}

}  // namespace
