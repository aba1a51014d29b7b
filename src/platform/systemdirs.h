#pragma once
// The system directories the program relies on.
//
// programDir:         the executable's directory with a trailing '/';
//                     env VELTRA_HOME overrides it (a trailing '/' is added).
// userSettingsDir:    where the per-user settings file lives; env
//                     VELTRA_USER_DIR, else the XDG config folder + /veltra
//                     (~/.config/veltra); no trailing '/'.
// tempDir:            QDir::tempPath() with a trailing '/'.
// programDriveLetter: always empty on Linux (no drive letters).

#include <QString>

namespace veltra {

QString programDir();
QString userSettingsDir();
QString tempDir();
QString programDriveLetter();

}  // namespace veltra
