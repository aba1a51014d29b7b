#pragma once
// File routines: block copy that keeps date and permissions, listings of
// files or folders, and unique temporary file names.
//
// Errors are returned, never thrown: copyFile gives a result code, the
// listings give a FileList whose error text is empty on success.

#include <QString>
#include <QStringList>

namespace veltra {

// Result codes of copyFile.
enum CopyResult : int {
    CopyOk = 0,
    CopySourceUnreadable = 1,  // source missing or cannot be opened
    CopyTargetNotCreatable = 2,
    CopyReadError = 3,
    CopyWriteError = 4,
    CopyDateUnreadable = 5,    // the source's date could not be read or set on the copy
};

// Copies source to target in 4,096-byte blocks, then gives the copy the
// source's modification time and permissions. An existing target is
// replaced only by a complete copy: on codes 2 to 4 no partial target is
// left and an older target stays as it was. Code 5 from setting the date
// leaves the complete copy in place.
int copyFile(const QString &source, const QString &target);

struct FileList {
    QStringList paths;  // full paths, in directory order (sorted by name per folder)
    QString error;      // empty on success, e.g. "Invalid starting directory"
    bool ok() const { return error.isEmpty(); }
};

inline constexpr const char *InvalidStartingDirectory = "Invalid starting directory";

// All files (not folders) of startDir, with those of its subfolders when
// recursive is set. A missing start folder gives the error
// "Invalid starting directory" and no paths.
FileList listFiles(const QString &startDir, bool recursive);

// All subfolders of startDir, nested ones too when recursive is set.
FileList listSubdirectories(const QString &startDir, bool recursive);

// Creates a unique empty file in dir whose name starts with prefix and
// returns its full path; empty text when the file cannot be created.
QString tempFileName(const QString &dir, const QString &prefix);

}  // namespace veltra
