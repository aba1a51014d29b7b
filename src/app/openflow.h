#pragma once
// Pieces of the Open command that need no window: the file filter of the
// open dialog and how an opened report's extension joins it.

#include <QString>
#include <QStringList>

#include <optional>

namespace veltra {

// The filter after opening `path` when the filter does not yet list its
// extension: "*.EXT|*.ext|" in front of the old filter; nothing when it
// already does (compared upper-cased) or the path has no extension.
std::optional<QString> AddToFileFilter(const QString &fileFilter, const QString &path);

// The settings' filter ("Description|*.A;*.B|All|*.*", pairs separated by
// "|") as a list of dialog filters ("Description (*.A *.a *.B *.b)").
// Report file names often come in either case on Linux, so both cases of
// every pattern are listed. A trailing description without patterns is
// dropped; an empty filter gives "All files (*)".
QStringList DialogFiltersFromFileFilter(const QString &fileFilter);

} // namespace veltra
