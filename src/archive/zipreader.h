#pragma once
// Reading zip archives on libzip: an open archive with member lookup that
// ignores case, a member reader that counts data as read only when it ends
// cleanly, the password check, and the unzip services the loader needs
// (one named member into memory with percent-done callbacks and cancel).
//
// Traditional zip encryption checks one byte when a member is opened, so
// about one wrong password in 256 gets past the open. Such a password then
// shows as a zlib or checksum failure while reading: for an encrypted member
// every data failure is reported as ArcWrongPassword, and verifyPassword
// decompresses (and checksums) before it says a password is right.

#include "archive/archivecodes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

struct zip;
struct zip_file;

namespace veltra {

struct ZipMemberInfo {
    qint64 index = -1;
    QString name;              // as stored, "/" between folders
    qint64 size = 0;           // uncompressed size from the central directory
    qint64 compressedSize = 0;
    quint32 crc = 0;
    quint16 method = 0;        // 0 stored, 8 deflated, ...
    bool encrypted = false;
    quint16 encryptionMethod = 0; // libzip's number: 1 traditional, 0x0101.. AES
    quint16 dosTime = 0;       // the member's date and time in DOS form
    quint16 dosDate = 0;
    QByteArray comment;
};

// The code for a libzip error met while opening an archive.
ArcCode archiveOpenCode(int libzipError);

// Member names compare ignoring case, with "\" and "/" alike.
bool sameMemberName(const QString &a, const QString &b);

// Encodes a typed password the way zip tools of this platform do (UTF-8).
QByteArray passwordBytes(const QString &password);

// Takes the password out of an option text "-o -s#" + password + "#";
// an option text without "-s#" gives an empty password.
QString passwordFromOptions(const QString &options);

class ZipArchive {
public:
    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    // Opens the archive read-only and checks its directory.
    ArcCode open(const QString &path);
    // Opens an archive held in memory; bytes must outlive the archive.
    ArcCode openBuffer(const QByteArray &bytes);
    void close();
    bool isOpen() const { return zip_ != nullptr; }
    zip *handle() const { return zip_; }

    qint64 memberCount() const;
    // Index of the member called name (ignoring case, "\" as "/"); -1 when none.
    qint64 findMember(const QString &name) const;
    ArcCode memberInfo(qint64 index, ZipMemberInfo &info) const;
    // All members in directory order.
    ArcCode listMembers(QList<ZipMemberInfo> &members) const;
    QByteArray archiveComment() const;

private:
    zip *zip_ = nullptr;
};

// Reads one member from its start. Every call gives a code; after a failure
// the reader stays failed.
class ZipMemberReader {
public:
    ZipMemberReader() = default;
    ~ZipMemberReader();
    ZipMemberReader(const ZipMemberReader &) = delete;
    ZipMemberReader &operator=(const ZipMemberReader &) = delete;

    ArcCode open(const ZipArchive &archive, qint64 index, const QByteArray &password);
    // Reads n bytes into buffer; ArcSizeMismatch when the member ends first.
    ArcCode read(char *buffer, qint64 n);
    ArcCode skip(qint64 n);
    // Reads up to the member's end and checks that it ends exactly at the
    // size the directory gives, with a good checksum.
    ArcCode finish();
    void close();

    bool isOpen() const { return file_ != nullptr; }
    qint64 index() const { return index_; }
    qint64 position() const { return position_; }
    const ZipMemberInfo &info() const { return info_; }
    const QByteArray &password() const { return password_; }

private:
    ArcCode fail(ArcCode code);
    ArcCode readSome(char *buffer, qint64 n, qint64 *got);

    zip_file *file_ = nullptr;
    qint64 index_ = -1;
    qint64 position_ = 0;
    ZipMemberInfo info_;
    QByteArray password_;
    ArcCode failed_ = ArcOk;
};

// Whether password opens member index: a wrong password gives
// ArcWrongPassword even when it passes the one-byte check of traditional
// encryption. Members up to VerifyWholeLimit bytes (and every stored member)
// are read whole with their checksum; of a larger deflated member the first
// VerifyPrefix bytes are decompressed.
inline constexpr qint64 VerifyWholeLimit = 4 * 1024 * 1024;
inline constexpr qint64 VerifyPrefix = 1024 * 1024;
ArcCode verifyPassword(const ZipArchive &archive, qint64 index, const QByteArray &password);

using UnzipPercentFn = std::function<void(int percent)>;

struct UnzipTarget {
    char *dest = nullptr;
    qint64 capacity = 0;
    // Bytes already in dest, published after they are written (may be null).
    std::atomic<qint64> *filled = nullptr;
    UnzipPercentFn progress;                  // percent done, rising, ends with 100
    const std::atomic<bool> *cancel = nullptr; // checked between blocks
};

// Unzips member (ignoring case) of archive into target.dest. ArcOk only when
// the whole member is in, its size matches the directory and the capacity,
// and its checksum is good. Bytes are published in target.filled while they
// come in, except for a stored encrypted member (published at the end, when
// the checksum has proved the password); no byte decrypted with a wrong
// password is ever published.
ArcCode unzipToMemory(const QString &archive, const QString &member, const QString &password,
                      const UnzipTarget &target);

// Unzips a member of at most limit bytes into bytes.
ArcCode unzipToBytes(const QString &archive, const QString &member, const QString &password,
                     QByteArray &bytes, qint64 limit = 256 * 1024 * 1024);

// The zip reader's own result for an unzip into a memory stream: the number
// of members written, 1 on success, 0 when no member has that name, and
// minus the code for any other failure (shown as "UZRC:  -10" for a wrong
// password).
int unzipResult(ArcCode code);

} // namespace veltra
