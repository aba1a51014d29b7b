#include "util/dateutil.h"

namespace veltra {

QDate firstDayNumberDate()
{
    return QDate(1600, 1, 1);
}

QDate lastDayNumberDate()
{
    return QDate(3999, 12, 31);
}

qint64 dayNumber(const QDate &date)
{
    if (!date.isValid() || date < firstDayNumberDate() || date > lastDayNumberDate())
        return NoDayNumber;
    return firstDayNumberDate().daysTo(date);
}

QDate dateFromDayNumber(qint64 day)
{
    if (day < 0 || day > dayNumber(lastDayNumberDate()))
        return {};
    return firstDayNumberDate().addDays(day);
}

QString dateText(const QDate &date, QLocale::FormatType format, const QLocale &locale)
{
    return date.isValid() ? locale.toString(date, format) : QString();
}

}  // namespace veltra
