#pragma once
// Pure path routines. The separator is a parameter so the same routine
// serves Linux paths ('/') and stored Windows-style paths ('\\').

#include <QString>

namespace veltra {

inline constexpr QChar NativeSeparator = QLatin1Char('/');

// The second-last piece of the path split at sep (the folder holding the
// file); empty when the path has no separator.
QString parentFolderName(const QString &path, QChar sep = NativeSeparator);

// Shortens path in place to at most maxLength characters with "..." for
// display. Returns true when the result has exactly maxLength characters or
// nothing had to be done; false otherwise (e.g. maxLength 3 or less, which
// leaves the path untouched).
bool shortenPath(QString &path, qsizetype maxLength, QChar sep = NativeSeparator);

// The part after the last separator (with '\\' paths also after a drive ':').
QString fileNamePart(const QString &path, QChar sep = NativeSeparator);
// The text after the last '.' of the file name, without the dot; empty when none.
QString fileExtension(const QString &path, QChar sep = NativeSeparator);
// The file name up to its last '.' (the whole file name when it has none).
QString nameWithoutExtension(const QString &path, QChar sep = NativeSeparator);
// The text before the file name, without the final separator unless it is
// the root ("/" or "C:\").
QString directoryPart(const QString &path, QChar sep = NativeSeparator);

}  // namespace veltra
