#include "app/settingsrules.h"

#include "platform/messagesink.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace veltra {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Length of the longest prefix of text that is a number (sign, digits,
// point, exponent), or the 0-based position of the first character that
// breaks it.
qsizetype numberEnd(const QString &text, bool &complete)
{
    qsizetype pos = 0;
    const qsizetype size = text.size();
    complete = false;
    if (pos < size && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')))
        ++pos;
    qsizetype digits = 0;
    while (pos < size && isDigit(text[pos]))
        ++pos, ++digits;
    if (pos < size && text[pos] == QLatin1Char('.')) {
        ++pos;
        while (pos < size && isDigit(text[pos]))
            ++pos, ++digits;
    }
    if (digits == 0)
        return pos;
    if (pos < size && (text[pos] == QLatin1Char('E') || text[pos] == QLatin1Char('e'))) {
        ++pos;
        if (pos < size && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')))
            ++pos;
        qsizetype exponentDigits = 0;
        while (pos < size && isDigit(text[pos]))
            ++pos, ++exponentDigits;
        if (exponentDigits == 0)
            return pos;
    }
    complete = pos == size;
    return pos;
}

}  // namespace

bool ParseSettingsNumber(const QString &input, double &target, QChar decimalSeparator)
{
    if (input.isEmpty())
        return false;
    QString text = input;
    while (!text.isEmpty() && text.back().unicode() < 33)
        text.chop(1);
    if (text.isEmpty())
        return false;
    text = text.trimmed();
    if (text.isEmpty())
        text = QStringLiteral("0");
    const qsizetype sep = text.indexOf(decimalSeparator);
    if (sep >= 0) {
        if (sep == text.size() - 1)
            text.chop(1);
        else
            text[sep] = QLatin1Char('.');
    }
    bool complete = false;
    const qsizetype end = numberEnd(text, complete);
    if (!complete) {
        target = double(end + 1);
        return false;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);  // locale-independent
    if (!ok || !std::isfinite(value)) {
        target = double(text.size());  // out of range: blame the last digit
        return false;
    }
    target = value;
    return true;
}

DirectoryMessages DirectoryMessagesFor(const QString &name)
{
    return {QStringLiteral("Could not create %1 Directory\r\n").arg(name),
            QStringLiteral("%1 Directory set to program directory.").arg(name)};
}

QString CompleteDirectoryValue(const QString &value, const QString &driveLetter)
{
    if (!driveLetter.isEmpty() && value.startsWith(QLatin1Char('\\')) && !value.startsWith(QLatin1String("\\\\")))
        return driveLetter + QLatin1Char(':') + value;
    return value;
}

QString NormaliseDirectory(const QString &value, const DirectoryMessages &texts, const QString &programDir,
                           const QString &driveLetter, MessageSink &messages, bool create)
{
    QString dir = CompleteDirectoryValue(value, driveLetter);
    if (!dir.isEmpty() && QDir::isRelativePath(dir))
        dir = programDir + dir;
    if (!create)
        return dir;
    if (!dir.isEmpty() && !QFileInfo(dir).isDir())
        QDir().mkpath(dir);
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        messages.errorOk(texts.couldNotCreate + dir + QStringLiteral("\r\n") + texts.setToProgramDir);
        return programDir;
    }
    return dir;
}

void SetGreenBarEffect(Settings &settings, const QString &word)
{
    const QString effect = word.toUpper();
    if (effect == QLatin1String("LIGHTBLUE")) {
        settings.GreenBarEffect = effect;
        settings.BandColour = RgbColour{191, 223, 255};
    } else if (effect == QLatin1String("LIGHTGRAY")) {
        settings.GreenBarEffect = effect;
        settings.BandColour = RgbColour{225, 225, 225};
    } else if (effect == QLatin1String("MONEYGREEN")) {
        settings.GreenBarEffect = effect;
        settings.BandColour = RgbColour{192, 220, 192};
    } else {
        settings.GreenBarEffect = QStringLiteral("NONE");
        settings.BandColour.reset();
    }
}

QString FindFileIgnoringCase(const QString &dir, const QString &name)
{
    const QString base = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    if (QFileInfo::exists(base + name))
        return base + name;
    const QStringList entries = QDir(base).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return base + entry;
    }
    return base + name;
}

}  // namespace veltra
