#pragma once
// Text slicing, splitting, scanning and small character routines.
//
// Positions are 1-based; 0 means "not found". Routines that report text
// needs as well (replace all, split, scans) also take QByteArray.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace veltra {

// The first count characters (all when the text is shorter, empty for count <= 0).
QString leftPart(const QString &text, qsizetype count);
// The last count characters (the whole text when count exceeds its length).
QString rightPart(const QString &text, qsizetype count);
// count characters from start; the rest when fewer remain. A start below 1
// counts as 1; empty when start lies beyond the end or count is negative.
QString middlePart(const QString &text, qsizetype start, qsizetype count);

// Every occurrence of find replaced, left to right, case-sensitive; the
// replacement is not searched again. An empty find leaves the text unchanged.
QString replaceAll(const QString &text, const QString &find, const QString &replacement);
QByteArray replaceAll(const QByteArray &text, const QByteArray &find, const QByteArray &replacement);

// The pieces between delimiters. Empty pieces between delimiters or before
// the first one are kept; the empty piece after a trailing delimiter is not.
// An empty text gives no piece; an empty delimiter gives the text as one piece.
QStringList splitText(const QString &text, const QString &delimiter);
QList<QByteArray> splitText(const QByteArray &text, const QByteArray &delimiter);

// The text before the first '.'; empty when there is no '.'.
QString nameBeforeDot(const QString &text);

// Position of the first ch at or after start (a start below 1 counts as 1).
qsizetype scanForward(const QString &text, QChar ch, qsizetype start = 1);
qsizetype scanForward(const QByteArray &text, char ch, qsizetype start = 1);
// Position of the last ch within the first limit characters; limit 0 (or
// one beyond the end) means the whole text.
qsizetype scanBackward(const QString &text, QChar ch, qsizetype limit = 0);
qsizetype scanBackward(const QByteArray &text, char ch, qsizetype limit = 0);

// Leading and trailing characters of code 32 or less removed.
QString trimText(const QString &text);
// Every character that occurs in chars removed.
QString removeChars(const QString &text, const QString &chars);
// Each character found in from replaced by the character at the same place
// in to. When the lists differ in length, only the common length counts.
QString substituteChars(const QString &text, const QString &from, const QString &to);
// How often ch occurs in text.
qsizetype charCount(const QString &text, QChar ch);
// count copies of ch (empty for count <= 0).
QString charString(QChar ch, qsizetype count);
// text padded on the left with fill up to length; longer text is unchanged.
QString padLeft(const QString &text, qsizetype length, QChar fill = QLatin1Char(' '));
// value written with separator between every group of three digits: 1,234,567.
QString groupThousands(qint64 value, QChar separator = QLatin1Char(','));
// Position of sub within text at or after start; 0 when absent or sub is empty.
qsizetype substringPosition(const QString &text, const QString &sub, qsizetype start = 1);

}  // namespace veltra
