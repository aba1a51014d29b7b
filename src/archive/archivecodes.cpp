#include "archive/archivecodes.h"

namespace veltra {

QString archiveCodeText(ArcCode code)
{
    switch (code) {
    case ArcOk: return QStringLiteral("success");
    case ArcNotStarted: return QStringLiteral("archive routines not started");
    case ArcBadArgument: return QStringLiteral("invalid argument");
    case ArcBadHandle: return QStringLiteral("archive not open");
    case ArcCannotOpen: return QStringLiteral("archive cannot be opened");
    case ArcNotZip: return QStringLiteral("not a zip archive");
    case ArcDamaged: return QStringLiteral("truncated or damaged archive");
    case ArcNoMoreMembers: return QStringLiteral("no more members");
    case ArcMemberNotFound: return QStringLiteral("member not found");
    case ArcPasswordRequired: return QStringLiteral("password required");
    case ArcWrongPassword: return QStringLiteral("wrong password");
    case ArcDataError: return QStringLiteral("damaged member data");
    case ArcSizeMismatch: return QStringLiteral("member size does not match the archive directory");
    case ArcRangeBeyondEnd: return QStringLiteral("read beyond the end of the member");
    case ArcEmptyMember: return QStringLiteral("member is empty (0 bytes)");
    case ArcUnsupported: return QStringLiteral("compression or encryption method not supported");
    case ArcReadError: return QStringLiteral("read error");
    case ArcWriteError: return QStringLiteral("archive could not be written");
    case ArcCancelled: return QStringLiteral("cancelled");
    case ArcNoMemory: return QStringLiteral("out of memory");
    case ArcNotAvailable: return QStringLiteral("not available");
    }
    return QStringLiteral("archive error %1").arg(code);
}

} // namespace veltra
