#pragma once
// Settings files of the private-profile kind: "[Section]" lines, then
// "Key=Value" lines.
//
// Sections and keys are found ignoring case. Reading gives the value with
// blanks around it removed (and one pair of matching quotes around the whole
// value removed), or the caller's default when the key is absent. Writing
// replaces the value in place, or appends the key at the end of its section,
// or appends a new section at the end of the file; every line written ends
// with CR LF and every other line is kept byte for byte. With duplicate
// sections or keys, reads and replacements see the first one; deletions
// remove them all.
//
// Text is UTF-8 on disk. Any bytes are accepted: binary content, LF-only or
// missing line ends and endless lines never stop a read; they only mean the
// key is not found.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace veltra {

// The profile format over bytes held in memory; no file access. ProfileFile
// keeps one of these per file, the fuzz driver drives it directly.
class ProfileText {
public:
    ProfileText() = default;
    explicit ProfileText(QByteArray content) : m_content(std::move(content)) {}

    const QByteArray &content() const { return m_content; }

    // The value of key in the first section named section; nothing when absent.
    std::optional<QString> value(const QString &section, const QString &key) const;
    bool hasSection(const QString &section) const;

    // Sets key to value (see the file comment). Names are used with blanks
    // around them removed. Fails, leaving the text as it was, when a name or
    // the value could not be stored as one line: an empty section or key, a
    // section holding "]", a key holding "=" or starting with "[" or ";", or
    // a line break anywhere.
    bool setValue(const QString &section, const QString &key, const QString &value);
    // Removes every line of key in every section named section. False when
    // there was nothing to remove.
    bool removeKey(const QString &section, const QString &key);
    // Removes every section named section with all its lines. False when
    // there was no such section.
    bool removeSection(const QString &section);

    static bool validSectionName(const QString &section);
    static bool validKeyName(const QString &key);
    static bool validValue(const QString &value);

private:
    QByteArray m_content;
};

// One settings file on disk. Reads see the file as it is now (the content is
// cached and read again when the file's size or time changes); each write
// reads the file again, changes it and writes it whole through a temporary
// file, or leaves it untouched.
class ProfileFile {
public:
    explicit ProfileFile(const QString &path);

    const QString &path() const { return m_path; }

    // The key's value, or defaultValue when the key (or the file) is absent.
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    bool hasSection(const QString &section) const;
    bool exists() const;

    // Each returns false when the file could not be changed; errorString()
    // then says why. The file is then exactly as it was. removeKey and
    // eraseSection succeed without writing when there is nothing to remove.
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool removeKey(const QString &section, const QString &key);
    bool eraseSection(const QString &section);

    QString errorString() const { return m_error; }

private:
    enum class LoadState { Ok, Missing, Unreadable };
    LoadState load(QByteArray &content, QString *error) const;
    const ProfileText &cached() const;
    template <typename Change>
    bool change(Change &&apply);

    QString m_path;
    QString m_error;
    mutable ProfileText m_cache;
    mutable bool m_cacheValid = false;
    mutable qint64 m_cacheSize = -1;
    mutable QDateTime m_cacheTime;
};

}  // namespace veltra
