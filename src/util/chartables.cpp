#include "util/chartables.h"

namespace veltra {

namespace {

QChar firstOr(const QString &text, char fallback)
{
    return text.isEmpty() ? QChar(QLatin1Char(fallback)) : text.at(0);
}

// The first character of a date or time format that is neither a field
// letter, a space nor a quote: the separator between its fields.
QString separatorOf(const QString &format)
{
    for (QChar c : format) {
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\''))
            return QString(c);
    }
    return {};
}

}  // namespace

CharTables::CharTables(const QString &decimal, const QString &time, const QString &date,
                       const QString &thousands)
    : m_decimal(firstOr(decimal, '.')),
      m_time(firstOr(time, ':')),
      m_date(firstOr(date, '/')),
      m_thousands(firstOr(thousands, ','))
{
    for (int i = 0; i < 256; ++i) {
        const auto c = static_cast<unsigned char>(i);
        m_upper[i] = isLower(c) ? static_cast<unsigned char>(c - 'a' + 'A') : c;
        m_lower[i] = isUpper(c) ? static_cast<unsigned char>(c - 'A' + 'a') : c;
        m_swap[i] = isUpper(c) ? m_lower[i] : m_upper[i];
    }
}

CharTables CharTables::fromLocale(const QLocale &locale)
{
    return CharTables(locale.decimalPoint(), separatorOf(locale.timeFormat(QLocale::ShortFormat)),
                      separatorOf(locale.dateFormat(QLocale::ShortFormat)), locale.groupSeparator());
}

}  // namespace veltra
