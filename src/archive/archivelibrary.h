#pragma once
// The archive library: archive and member access, ranged extraction with a
// password option text, the password query, DOS date and time decoding and
// compressed page expansion. Every call returns a 16-bit code, 0 for success
// (see archivecodes.h); arguments come in the order the program has always
// passed them.
//
// The program starts the library once (ArcStartUp, then ArcSecondStart),
// keeps the context for the run and shuts it down at the end. Handles belong
// to a context; a handle that is not open in it gives ArcBadHandle instead of
// touching freed memory. Calls on one context may come from several threads;
// a single handle is used by one call at a time (the library serialises them).

#include "archive/archivecodes.h"

#include <QString>
#include <QtGlobal>

namespace veltra {

struct ArchiveContext;
struct ArchiveHandle;

inline constexpr int ArchiveOpenRead = 1;          // the one open mode
inline constexpr int MemberNameBufferSize = 260;   // name buffer of the member calls
inline constexpr int MemberCommentBufferSize = 1024;
inline constexpr int ExpandedPageCapacity = 64001;

// A member's central-directory file header from its signature on (the 46
// fixed bytes; name, extra field and comment are returned separately).
struct ArchiveEntry {
    quint8 bytes[46] = {};
    quint32 signature() const { return le32(0); }       // 0x02014b50
    quint16 flags() const { return le16(8); }           // bit 0: encrypted
    quint16 method() const { return le16(10); }
    quint16 dosTime() const { return le16(12); }
    quint16 dosDate() const { return le16(14); }
    quint32 crc() const { return le32(16); }
    quint32 compressedSize() const { return le32(20); }
    quint32 uncompressedSize() const { return le32(24); }  // 0xFFFFFFFF beyond 4 GiB
    quint16 nameLength() const { return le16(28); }
    quint16 commentLength() const { return le16(32); }

    quint16 le16(int at) const { return quint16(bytes[at] | bytes[at + 1] << 8); }
    quint32 le32(int at) const { return quint32(le16(at)) | quint32(le16(at + 2)) << 16; }
};

// Starts the library and fills in *context; reserved is 0. 0 = ready.
ArcCode ArcStartUp(ArchiveContext **context, int reserved);
// The second start-up call; its result is not needed.
ArcCode ArcSecondStart(ArchiveContext *context);
// Closes every handle still open and frees the context; *context becomes
// null. No call on the context may still be running.
ArcCode ArcShutDown(ArchiveContext **context);

// Opens an archive read-only (mode ArchiveOpenRead); 0 = *handle is valid.
ArcCode ArcOpen(ArchiveContext *context, const QString &archivePath, int mode, ArchiveHandle **handle);
// Closes the archive; *handle becomes null.
ArcCode ArcClose(ArchiveContext *context, ArchiveHandle **handle);

// First and next member: the entry record, the zero-terminated name ("/"
// between folders, at most MemberNameBufferSize bytes with the zero) and
// comment (at most commentCapacity bytes with the zero). Longer texts are cut.
// firstIndex and lastIndex limit the member numbers walked (0 and 65535).
// 0 = a member was returned; ArcNoMoreMembers after the last.
ArcCode ArcFirstMember(ArchiveContext *context, ArchiveHandle *handle, ArchiveEntry *entry, char *name,
                       int firstIndex, int lastIndex, char *comment, int commentCapacity);
ArcCode ArcNextMember(ArchiveContext *context, ArchiveHandle *handle, ArchiveEntry *entry, char *name,
                      int firstIndex, int lastIndex, char *comment, int commentCapacity);

// DOS date to month, day, year (1980..2107); DOS time to hour, minute, second.
ArcCode ArcDecodeDate(quint16 dosDate, quint16 *month, quint16 *day, quint16 *year);
ArcCode ArcDecodeTime(quint16 dosTime, quint16 *hour, quint16 *minute, quint16 *second);

// Puts count bytes from offset of the member's uncompressed data into
// buffer. The member is found ignoring case, "\" and "/" alike. options is
// "-o -s#" + password + "#" or empty. 0 only when all count bytes were read
// cleanly; for an encrypted member the password is first verified beyond
// the one-byte check, so offset 0, count 1 is a sound password test.
ArcCode ArcExtractRange(ArchiveContext *context, ArchiveHandle *handle, char *buffer, qint64 offset,
                        qint64 count, const QString &member, const QString &options);

// Non-zero when a member of the archive is encrypted (the archive needs a
// password); 0 when none is, or when the archive cannot be read (opening it
// then gives the real code).
ArcCode ArcNeedsPassword(ArchiveContext *context, const QString &archivePath);

// Expands one compressed page block into destination (zero-filled by the
// caller, capacity ExpandedPageCapacity); the text ends at the first zero.
// Failures give the page codec's block results (31..37).
ArcCode ArcExpandBlock(const char *source, qint64 sourceLength, char *destination, qint64 capacity);

} // namespace veltra
