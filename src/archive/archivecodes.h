#pragma once
// Result codes of the archive library and the zip reader and writer: 16-bit,
// 0 for success. Callers show them in decimal; archiveCodeText gives a short
// English explanation for logs and the command-line tool.

#include <QString>
#include <QtGlobal>

namespace veltra {

using ArcCode = quint16;

enum ArcResult : ArcCode {
    ArcOk = 0,
    ArcNotStarted = 1,        // no context, or the context was shut down
    ArcBadArgument = 2,       // null address, negative offset or count, unknown mode
    ArcBadHandle = 3,         // the handle is not an open archive of this context
    ArcCannotOpen = 4,        // the archive file is missing or unreadable
    ArcNotZip = 5,            // the file is not a zip archive
    ArcDamaged = 6,           // truncated archive or damaged central directory
    ArcNoMoreMembers = 7,     // first/next member: nothing (more) to return
    ArcMemberNotFound = 8,    // no member of that name (compared ignoring case)
    ArcPasswordRequired = 9,  // the member is encrypted and no password was given
    ArcWrongPassword = 10,    // the password does not decrypt the member
    ArcDataError = 11,        // compressed data or checksum damaged
    ArcSizeMismatch = 12,     // the data is longer or shorter than the directory says
    ArcRangeBeyondEnd = 13,   // offset + count lies beyond the member's end
    ArcEmptyMember = 14,      // the member holds no bytes (a zero-byte report)
    ArcUnsupported = 15,      // compression or encryption method not supported
    ArcReadError = 16,        // the file could not be read
    ArcWriteError = 17,       // the archive could not be written
    ArcCancelled = 18,        // stopped by the caller
    ArcNoMemory = 19,
    ArcNotAvailable = 20,     // operation not built into this program
};

// "wrong password", "truncated or damaged archive", ...
QString archiveCodeText(ArcCode code);

} // namespace veltra
