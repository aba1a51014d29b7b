// Fuzz driver: the settings file format over arbitrary bytes.
//
// The first input byte picks the names used, the second the value's length;
// the value is taken from the end of the input and the rest is the file. The
// driver reads, writes, removes and checks what every caller relies on: a
// written key reads back as written, a write leaves the other keys of the
// section alone, a removed key or section is gone, and a refused write
// changes nothing.

#include "platform/profilefile.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace veltra;

namespace {

const char *const Names[] = {"A", "View", "view", " Print ", "[x", "k=", "", "FILES", "\xc3\xa9", "a]b"};
constexpr size_t NameCount = sizeof Names / sizeof Names[0];

// What reading gives for a value that was written.
QString readBack(const QString &value)
{
    QByteArray bytes = value.toUtf8().trimmed();
    if (bytes.size() >= 2 && bytes.front() == bytes.back() && (bytes.front() == '"' || bytes.front() == '\''))
        bytes = bytes.mid(1, bytes.size() - 2);
    return QString::fromUtf8(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QString section = QString::fromUtf8(Names[data[0] % NameCount]);
    const QString key = QString::fromUtf8(Names[(data[0] / NameCount) % NameCount]);
    const QString other = QString::fromUtf8(Names[(data[0] / NameCount + 1) % NameCount]);
    const size_t valueLength = data[1] % 16 < size - 2 ? data[1] % 16 : size - 2;
    const QByteArray text(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2 - valueLength));
    const QString value =
        QString::fromUtf8(reinterpret_cast<const char *>(data + size - valueLength), qsizetype(valueLength));

    ProfileText profile(text);
    (void)profile.value(section, key);
    (void)profile.hasSection(section);

    const auto otherBefore = profile.value(section, other);
    if (profile.setValue(section, key, value)) {
        if (profile.value(section, key) != readBack(value))
            abort();
        if (other.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0 &&
            profile.value(section, other) != otherBefore)
            abort();
    } else if (profile.content() != text) {
        abort();
    }

    ProfileText removal(text);
    removal.removeKey(section, key);
    if (removal.value(section, key).has_value())
        abort();
    removal.removeSection(section);
    if (removal.hasSection(section) && !section.trimmed().isEmpty())
        abort();
    return 0;
}
