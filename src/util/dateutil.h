#pragma once
// Calendar day numbers and date texts.
//
// A day number counts days from 1 January 1600 (day 0) and covers the years
// 1600 to 3999; dates outside that range have no day number (-1).

#include <QDate>
#include <QLocale>
#include <QString>

namespace veltra {

inline constexpr qint64 NoDayNumber = -1;

QDate firstDayNumberDate();  // 1600-01-01
QDate lastDayNumberDate();   // 3999-12-31

// The day number of date; NoDayNumber for an invalid date or one outside 1600..3999.
qint64 dayNumber(const QDate &date);
// The date of a day number; an invalid QDate outside the range.
QDate dateFromDayNumber(qint64 day);

// The date written the way the locale writes dates (short or long form).
QString dateText(const QDate &date, QLocale::FormatType format = QLocale::ShortFormat,
                 const QLocale &locale = QLocale());

}  // namespace veltra
