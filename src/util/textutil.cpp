#include "util/textutil.h"

namespace veltra {

namespace {

template <class S>
S replaceAllImpl(const S &text, const S &find, const S &replacement)
{
    if (find.isEmpty())
        return text;
    S result = text;
    // Qt replaces left to right and never searches the inserted text again.
    result.replace(find, replacement);
    return result;
}

template <class S, class List>
List splitImpl(const S &text, const S &delimiter)
{
    List pieces;
    if (text.isEmpty())
        return pieces;
    if (delimiter.isEmpty()) {
        pieces.append(text);
        return pieces;
    }
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(delimiter, from);
        if (at < 0)
            break;
        pieces.append(text.mid(from, at - from));
        from = at + delimiter.size();
    }
    if (from < text.size())
        pieces.append(text.mid(from));
    return pieces;
}

template <class S, class C>
qsizetype scanForwardImpl(const S &text, C ch, qsizetype start)
{
    if (start < 1)
        start = 1;
    if (start > text.size())
        return 0;
    return text.indexOf(ch, start - 1) + 1;
}

template <class S, class C>
qsizetype scanBackwardImpl(const S &text, C ch, qsizetype limit)
{
    if (limit <= 0 || limit > text.size())
        limit = text.size();
    if (limit == 0)
        return 0;
    return text.lastIndexOf(ch, limit - 1) + 1;
}

}  // namespace

QString leftPart(const QString &text, qsizetype count)
{
    if (count <= 0)
        return {};
    return text.left(count);
}

QString rightPart(const QString &text, qsizetype count)
{
    if (count <= 0)
        return {};
    return text.right(count);
}

QString middlePart(const QString &text, qsizetype start, qsizetype count)
{
    if (count < 0)
        return {};
    if (start < 1)
        start = 1;
    if (start > text.size())
        return {};
    return text.mid(start - 1, count);
}

QString replaceAll(const QString &text, const QString &find, const QString &replacement)
{
    return replaceAllImpl(text, find, replacement);
}

QByteArray replaceAll(const QByteArray &text, const QByteArray &find, const QByteArray &replacement)
{
    return replaceAllImpl(text, find, replacement);
}

QStringList splitText(const QString &text, const QString &delimiter)
{
    return splitImpl<QString, QStringList>(text, delimiter);
}

QList<QByteArray> splitText(const QByteArray &text, const QByteArray &delimiter)
{
    return splitImpl<QByteArray, QList<QByteArray>>(text, delimiter);
}

QString nameBeforeDot(const QString &text)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : text.left(dot);
}

qsizetype scanForward(const QString &text, QChar ch, qsizetype start)
{
    return scanForwardImpl(text, ch, start);
}

qsizetype scanForward(const QByteArray &text, char ch, qsizetype start)
{
    return scanForwardImpl(text, ch, start);
}

qsizetype scanBackward(const QString &text, QChar ch, qsizetype limit)
{
    return scanBackwardImpl(text, ch, limit);
}

qsizetype scanBackward(const QByteArray &text, char ch, qsizetype limit)
{
    return scanBackwardImpl(text, ch, limit);
}

QString trimText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

QString removeChars(const QString &text, const QString &chars)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (!chars.contains(c))
            result.append(c);
    }
    return result;
}

QString substituteChars(const QString &text, const QString &from, const QString &to)
{
    const qsizetype usable = qMin(from.size(), to.size());
    QString result = text;
    for (QChar &c : result) {
        const qsizetype at = from.indexOf(c);
        if (at >= 0 && at < usable)
            c = to.at(at);
    }
    return result;
}

qsizetype charCount(const QString &text, QChar ch)
{
    return text.count(ch);
}

QString charString(QChar ch, qsizetype count)
{
    return count <= 0 ? QString() : QString(count, ch);
}

QString padLeft(const QString &text, qsizetype length, QChar fill)
{
    return text.rightJustified(length, fill, false);
}

QString groupThousands(qint64 value, QChar separator)
{
    // Work on the unsigned magnitude so the smallest qint64 does not overflow.
    const bool negative = value < 0;
    quint64 magnitude = negative ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    const QString digits = QString::number(magnitude);
    QString result;
    result.reserve(digits.size() + digits.size() / 3 + 1);
    if (negative)
        result.append(QLatin1Char('-'));
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            result.append(separator);
        result.append(digits.at(i));
    }
    return result;
}

qsizetype substringPosition(const QString &text, const QString &sub, qsizetype start)
{
    if (sub.isEmpty())
        return 0;
    if (start < 1)
        start = 1;
    if (start > text.size())
        return 0;
    return text.indexOf(sub, start - 1) + 1;
}

}  // namespace veltra
