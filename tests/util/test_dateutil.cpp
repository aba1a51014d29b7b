#include "util/dateutil.h"

#include <gtest/gtest.h>

using namespace veltra;

namespace {

TEST(DayNumbers, RangeEndsLeapDaysAndRoundTrip)
{
    const struct {
        QDate date;
        qint64 day;
    } cases[] = {
        {QDate(1600, 1, 1), 0},
        {QDate(1600, 3, 1), 60},       // 1600 is a leap year
        {QDate(1601, 1, 1), 366},
        {QDate(1700, 3, 1), 36584},    // 1700 is not
        {QDate(1999, 12, 31), 146096},
        {QDate(2000, 1, 1), 146097},   // 400 years = 146,097 days
        {QDate(3999, 12, 31), 876581},
        {QDate(1599, 12, 31), NoDayNumber},
        {QDate(4000, 1, 1), NoDayNumber},
        {QDate(), NoDayNumber},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(dayNumber(c.date), c.day);
        if (c.day != NoDayNumber) {
            EXPECT_EQ(dateFromDayNumber(c.day), c.date);
        }
    }
    EXPECT_FALSE(dateFromDayNumber(-1).isValid());
    EXPECT_FALSE(dateFromDayNumber(876582).isValid());
}

TEST(DateText, FollowsTheLocale)
{
    const QDate d(2024, 3, 5);
    EXPECT_EQ(dateText(d, QLocale::ShortFormat, QLocale(QLocale::German, QLocale::Germany)), "05.03.24");
    EXPECT_EQ(dateText(d, QLocale::ShortFormat, QLocale(QLocale::English, QLocale::UnitedStates)), "3/5/24");
    EXPECT_EQ(dateText(QDate()), "");
}

}  // namespace
