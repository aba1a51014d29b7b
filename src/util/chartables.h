#pragma once
// Locale separators and byte translation tables, set up once at start and
// handed to whoever needs them.

#include <QChar>
#include <QLocale>
#include <QString>
#include <array>

namespace veltra {

class CharTables {
public:
    // Separators from the given texts; an empty text falls back to ".", ":",
    // "/" and "," respectively. Only the first character of each counts.
    CharTables(const QString &decimal, const QString &time, const QString &date,
               const QString &thousands);

    // Separators from a locale (the running thread's default locale when none given).
    static CharTables fromLocale(const QLocale &locale = QLocale());

    QChar decimalSeparator() const { return m_decimal; }
    QChar timeSeparator() const { return m_time; }
    QChar dateSeparator() const { return m_date; }
    QChar thousandsSeparator() const { return m_thousands; }

    // 256-entry translation tables over bytes (ASCII letters only).
    using Table = std::array<unsigned char, 256>;
    const Table &swapCaseTable() const { return m_swap; }
    const Table &toUpperTable() const { return m_upper; }
    const Table &toLowerTable() const { return m_lower; }

    unsigned char swapCase(unsigned char c) const { return m_swap[c]; }
    unsigned char toUpper(unsigned char c) const { return m_upper[c]; }
    unsigned char toLower(unsigned char c) const { return m_lower[c]; }

    // Letter sets (ASCII only).
    static constexpr bool isUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
    static constexpr bool isLower(unsigned char c) { return c >= 'a' && c <= 'z'; }
    static constexpr bool isLetter(unsigned char c) { return isUpper(c) || isLower(c); }

private:
    QChar m_decimal, m_time, m_date, m_thousands;
    Table m_swap{}, m_upper{}, m_lower{};
};

}  // namespace veltra
