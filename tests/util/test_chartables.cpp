#include "util/chartables.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace veltra;

namespace {

TEST(CharTables, SeparatorsFromLocales)
{
    const struct {
        QLocale locale;
        char decimal, time, date, thousands;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), '.', ':', '/', ','},
        {QLocale(QLocale::German, QLocale::Germany), ',', ':', '.', '.'},
        {QLocale(QLocale::Swedish, QLocale::Sweden), ',', ':', '-', '\0'},  // group separator is a space kind
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        const CharTables t = CharTables::fromLocale(c.locale);
        EXPECT_EQ(t.decimalSeparator(), QLatin1Char(c.decimal));
        EXPECT_EQ(t.timeSeparator(), QLatin1Char(c.time));
        EXPECT_EQ(t.dateSeparator(), QLatin1Char(c.date));
        if (c.thousands)
            EXPECT_EQ(t.thousandsSeparator(), QLatin1Char(c.thousands));
        else
            EXPECT_FALSE(t.thousandsSeparator().isNull());
    }
}

TEST(CharTables, FallbacksWhenTheSystemGivesNone)
{
    const CharTables t("", "", "", "");
    EXPECT_EQ(t.decimalSeparator(), QLatin1Char('.'));
    EXPECT_EQ(t.timeSeparator(), QLatin1Char(':'));
    EXPECT_EQ(t.dateSeparator(), QLatin1Char('/'));
    EXPECT_EQ(t.thousandsSeparator(), QLatin1Char(','));

    const CharTables given(",;", ".", "-", "'");
    EXPECT_EQ(given.decimalSeparator(), QLatin1Char(','));
    EXPECT_EQ(given.thousandsSeparator(), QLatin1Char('\''));
}

TEST(CharTables, TranslationTablesTouchOnlyAsciiLetters)
{
    const CharTables t("", "", "", "");
    for (int i = 0; i < 256; ++i) {
        const auto c = static_cast<unsigned char>(i);
        const bool upper = i >= 'A' && i <= 'Z';
        const bool lower = i >= 'a' && i <= 'z';
        SCOPED_TRACE(i);
        EXPECT_EQ(t.toUpper(c), lower ? i - 32 : i);
        EXPECT_EQ(t.toLower(c), upper ? i + 32 : i);
        EXPECT_EQ(t.swapCase(c), upper ? i + 32 : lower ? i - 32 : i);
        EXPECT_EQ(CharTables::isUpper(c), upper);
        EXPECT_EQ(CharTables::isLower(c), lower);
        EXPECT_EQ(CharTables::isLetter(c), upper || lower);
    }
    EXPECT_EQ(t.toUpperTable()[0xe9], 0xe9);  // accented bytes stay as they are
}

}  // namespace
