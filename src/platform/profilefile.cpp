#include "platform/profilefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>
#include <vector>

namespace veltra {

namespace {

const QByteArray LineEnd = QByteArrayLiteral("\r\n");

// One line of the text: [start, end) without its line end; next is where the
// following line starts (end of text for the last line).
struct Line {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype next = 0;
    bool terminated() const { return next > end; }
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QByteArray name;   // section or key name, blanks removed
    QByteArray value;  // key lines: the value, blanks removed
};

// Calls visit(line) for every line; stops early when visit returns false.
template <typename Visit>
void forEachLine(const QByteArray &text, Visit &&visit)
{
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size) {
        Line line;
        line.start = pos;
        const qsizetype nl = text.indexOf('\n', pos);
        if (nl < 0) {
            line.end = size;
            line.next = size;
        } else {
            line.end = (nl > pos && text.at(nl - 1) == '\r') ? nl - 1 : nl;
            line.next = nl + 1;
        }
        if (!visit(line))
            return;
        pos = line.next;
    }
}

ParsedLine parseLine(const QByteArray &text, const Line &line)
{
    ParsedLine parsed;
    const QByteArray body = text.mid(line.start, line.end - line.start).trimmed();
    if (body.startsWith('[')) {
        parsed.kind = LineKind::Section;
        qsizetype close = body.indexOf(']');
        if (close < 0)
            close = body.size();
        parsed.name = body.mid(1, close - 1).trimmed();
        return parsed;
    }
    const qsizetype eq = body.indexOf('=');
    if (eq > 0) {
        parsed.kind = LineKind::Key;
        parsed.name = body.left(eq).trimmed();
        parsed.value = body.mid(eq + 1).trimmed();
    }
    return parsed;
}

bool sameName(const QByteArray &raw, const QString &wanted)
{
    if (raw.isEmpty())
        return false;
    return QString::fromUtf8(raw).compare(wanted, Qt::CaseInsensitive) == 0;
}

// A value written between matching quotes reads without them.
QByteArray unquoted(const QByteArray &value)
{
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        return value.mid(1, value.size() - 2);
    return value;
}

// What a change did to the text.
enum ChangeOutcome { Changed, Unchanged, Refused };

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// Byte ranges to cut out of the text, removed from the back so earlier
// positions stay valid.
void removeRanges(QByteArray &text, const std::vector<std::pair<qsizetype, qsizetype>> &ranges)
{
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
        text.remove(it->first, it->second - it->first);
}

}  // namespace

// ---------------------------------------------------------------------------
// ProfileText

bool ProfileText::validSectionName(const QString &section)
{
    const QString name = section.trimmed();
    return !name.isEmpty() && !name.contains(QLatin1Char(']')) && !hasLineBreak(name);
}

bool ProfileText::validKeyName(const QString &key)
{
    const QString name = key.trimmed();
    return !name.isEmpty() && !name.contains(QLatin1Char('=')) && !name.startsWith(QLatin1Char('[')) &&
           !name.startsWith(QLatin1Char(';')) && !hasLineBreak(name);
}

bool ProfileText::validValue(const QString &value)
{
    return !hasLineBreak(value);
}

std::optional<QString> ProfileText::value(const QString &section, const QString &key) const
{
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    bool inSection = false;
    bool seenSection = false;
    std::optional<QString> result;
    forEachLine(m_content, [&](const Line &line) {
        const ParsedLine parsed = parseLine(m_content, line);
        if (parsed.kind == LineKind::Section) {
            if (seenSection)
                return false;  // only the first section of that name counts
            inSection = sameName(parsed.name, wantedSection);
            seenSection = inSection;
        } else if (inSection && parsed.kind == LineKind::Key && sameName(parsed.name, wantedKey)) {
            result = QString::fromUtf8(unquoted(parsed.value));
            return false;
        }
        return true;
    });
    return result;
}

bool ProfileText::hasSection(const QString &section) const
{
    const QString wanted = section.trimmed();
    bool found = false;
    forEachLine(m_content, [&](const Line &line) {
        const ParsedLine parsed = parseLine(m_content, line);
        found = parsed.kind == LineKind::Section && sameName(parsed.name, wanted);
        return !found;
    });
    return found;
}

bool ProfileText::setValue(const QString &section, const QString &key, const QString &value)
{
    if (!validSectionName(section) || !validKeyName(key) || !validValue(value))
        return false;
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();

    bool inSection = false;
    bool seenSection = false;
    bool replaced = false;
    Line lastFilled;  // last non-blank line of the section (its header at first)
    forEachLine(m_content, [&](const Line &line) {
        const ParsedLine parsed = parseLine(m_content, line);
        if (parsed.kind == LineKind::Section) {
            if (seenSection)
                return false;
            inSection = sameName(parsed.name, wantedSection);
            if (inSection) {
                seenSection = true;
                lastFilled = line;
            }
            return true;
        }
        if (!inSection)
            return true;
        if (parsed.kind == LineKind::Key && sameName(parsed.name, wantedKey)) {
            // The key keeps the spelling the file gave it.
            const QByteArray newLine = parsed.name + '=' + value.toUtf8() + LineEnd;
            m_content.replace(line.start, line.next - line.start, newLine);
            replaced = true;
            return false;
        }
        if (line.end > line.start && !m_content.mid(line.start, line.end - line.start).trimmed().isEmpty())
            lastFilled = line;
        return true;
    });
    if (replaced)
        return true;

    const QByteArray keyLine = wantedKey.toUtf8() + '=' + value.toUtf8() + LineEnd;
    if (seenSection) {
        QByteArray insert;
        if (!lastFilled.terminated())
            insert = LineEnd;
        insert += keyLine;
        m_content.insert(lastFilled.next, insert);
        return true;
    }
    if (!m_content.isEmpty() && !m_content.endsWith('\n'))
        m_content += LineEnd;
    m_content += '[' + wantedSection.toUtf8() + ']' + LineEnd + keyLine;
    return true;
}

bool ProfileText::removeKey(const QString &section, const QString &key)
{
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    std::vector<std::pair<qsizetype, qsizetype>> ranges;
    bool inSection = false;
    forEachLine(m_content, [&](const Line &line) {
        const ParsedLine parsed = parseLine(m_content, line);
        if (parsed.kind == LineKind::Section)
            inSection = sameName(parsed.name, wantedSection);
        else if (inSection && parsed.kind == LineKind::Key && sameName(parsed.name, wantedKey))
            ranges.emplace_back(line.start, line.next);
        return true;
    });
    removeRanges(m_content, ranges);
    return !ranges.empty();
}

bool ProfileText::removeSection(const QString &section)
{
    const QString wanted = section.trimmed();
    std::vector<std::pair<qsizetype, qsizetype>> ranges;
    qsizetype openStart = -1;  // start of the section being removed
    forEachLine(m_content, [&](const Line &line) {
        const ParsedLine parsed = parseLine(m_content, line);
        if (parsed.kind == LineKind::Section) {
            if (openStart >= 0) {
                ranges.emplace_back(openStart, line.start);
                openStart = -1;
            }
            if (sameName(parsed.name, wanted))
                openStart = line.start;
        }
        return true;
    });
    if (openStart >= 0)
        ranges.emplace_back(openStart, m_content.size());
    removeRanges(m_content, ranges);
    return !ranges.empty();
}

// ---------------------------------------------------------------------------
// ProfileFile

ProfileFile::ProfileFile(const QString &path) : m_path(path) {}

ProfileFile::LoadState ProfileFile::load(QByteArray &content, QString *error) const
{
    content.clear();
    const QFileInfo info(m_path);
    if (m_path.isEmpty() || !info.exists())
        return LoadState::Missing;
    // Only regular files: a folder, a device or a pipe is never read (a pipe
    // would block, a device might never end).
    if (!info.isFile()) {
        if (error)
            *error = QStringLiteral("%1 is not a regular file").arg(m_path);
        return LoadState::Unreadable;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return LoadState::Unreadable;
    }
    content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        content.clear();
        return LoadState::Unreadable;
    }
    return LoadState::Ok;
}

const ProfileText &ProfileFile::cached() const
{
    const QFileInfo info(m_path);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime time = info.exists() ? info.lastModified() : QDateTime();
    if (!m_cacheValid || size != m_cacheSize || time != m_cacheTime) {
        QByteArray content;
        load(content, nullptr);  // a file we cannot read reads as empty
        m_cache = ProfileText(std::move(content));
        m_cacheValid = true;
        m_cacheSize = size;
        m_cacheTime = time;
    }
    return m_cache;
}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return cached().value(section, key).value_or(defaultValue);
}

bool ProfileFile::hasSection(const QString &section) const
{
    return cached().hasSection(section);
}

bool ProfileFile::exists() const
{
    return QFileInfo(m_path).isFile();
}

template <typename Change>
bool ProfileFile::change(Change &&apply)
{
    m_error.clear();
    QByteArray content;
    QString error;
    // The file is read again so that a change made meanwhile by someone else
    // is not lost; a file that exists but cannot be read is never replaced.
    if (load(content, &error) == LoadState::Unreadable) {
        m_error = QStringLiteral("Unable to read %1: %2").arg(m_path, error);
        return false;
    }
    ProfileText text(std::move(content));
    const ChangeOutcome outcome = apply(text);
    if (outcome == Refused) {
        m_error = QStringLiteral("A section, key or value cannot be stored in %1").arg(m_path);
        return false;
    }
    if (outcome == Unchanged)
        return true;

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.content()) != text.content().size() ||
        !file.commit()) {
        m_error = QStringLiteral("Unable to write to %1: %2").arg(m_path, file.errorString());
        file.cancelWriting();
        return false;
    }
    const QFileInfo info(m_path);
    m_cache = std::move(text);
    m_cacheValid = true;
    m_cacheSize = info.size();
    m_cacheTime = info.lastModified();
    return true;
}

bool ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    return change([&](ProfileText &text) { return text.setValue(section, key, value) ? Changed : Refused; });
}

bool ProfileFile::removeKey(const QString &section, const QString &key)
{
    return change([&](ProfileText &text) { return text.removeKey(section, key) ? Changed : Unchanged; });
}

bool ProfileFile::eraseSection(const QString &section)
{
    return change([&](ProfileText &text) { return text.removeSection(section) ? Changed : Unchanged; });
}

}  // namespace veltra
