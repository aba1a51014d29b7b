#include "archive/zipreader.h"

#include <zip.h>

#include <QFile>

#include <algorithm>
#include <ctime>
#include <vector>

namespace veltra {

namespace {

constexpr qint64 ReadBlock = 64 * 1024;

} // namespace

ArcCode archiveOpenCode(int ze)
{
    switch (ze) {
    case ZIP_ER_NOENT:
    case ZIP_ER_OPEN:
        return ArcCannotOpen;
    case ZIP_ER_NOZIP:
        return ArcNotZip;
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
        return ArcDamaged;
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
        return ArcReadError;
    case ZIP_ER_MEMORY:
        return ArcNoMemory;
    default:
        return ArcDamaged;
    }
}

namespace {

// A failure while reading member data. With traditional encryption a wrong
// password that slipped past the check byte decrypts to noise, which fails
// here; for an encrypted member that is what the failure means.
ArcCode dataErrorCode(int ze, bool encrypted)
{
    switch (ze) {
    case ZIP_ER_WRONGPASSWD:
        return ArcWrongPassword;
    case ZIP_ER_NOPASSWD:
        return ArcPasswordRequired;
    case ZIP_ER_ZLIB:
    case ZIP_ER_CRC:
    case ZIP_ER_COMPRESSED_DATA:
        return encrypted ? ArcWrongPassword : ArcDataError;
    case ZIP_ER_INCONS:
        return encrypted ? ArcWrongPassword : ArcSizeMismatch;
    case ZIP_ER_COMPNOTSUPP:
    case ZIP_ER_ENCRNOTSUPP:
        return ArcUnsupported;
    case ZIP_ER_EOF:
    case ZIP_ER_SEEK:
        return ArcDamaged;
    case ZIP_ER_READ:
        return ArcReadError;
    case ZIP_ER_MEMORY:
        return ArcNoMemory;
    case ZIP_ER_CANCELLED:
        return ArcCancelled;
    default:
        return encrypted ? ArcWrongPassword : ArcDataError;
    }
}

// A file that starts like a zip but has no readable directory was cut short.
ArcCode noDirectoryCode(const QString &path)
{
    QFile f(path);
    if (f.open(QIODevice::ReadOnly) && f.read(4) == QByteArray("PK\x03\x04", 4))
        return ArcDamaged;
    return ArcNotZip;
}

void dosFromTime(time_t t, quint16 &dosTime, quint16 &dosDate)
{
    dosTime = dosDate = 0;
    struct tm tm {};
    if (t <= 0 || !localtime_r(&t, &tm) || tm.tm_year < 80 || tm.tm_year > 207)
        return;
    dosTime = quint16((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
    dosDate = quint16(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
}

} // namespace

bool sameMemberName(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    QString x = a, y = b;
    x.replace(QLatin1Char('\\'), QLatin1Char('/'));
    y.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return x.compare(y, Qt::CaseInsensitive) == 0;
}

QByteArray passwordBytes(const QString &password)
{
    return password.toUtf8();
}

QString passwordFromOptions(const QString &options)
{
    const qsizetype start = options.indexOf(QLatin1String("-s#"));
    if (start < 0)
        return {};
    const qsizetype from = start + 3;
    const qsizetype end = options.lastIndexOf(QLatin1Char('#'));
    if (end < from)
        return options.mid(from);
    return options.mid(from, end - from);
}

// ---- ZipArchive -------------------------------------------------------------

ZipArchive::~ZipArchive()
{
    close();
}

void ZipArchive::close()
{
    if (zip_) {
        zip_discard(zip_);
        zip_ = nullptr;
    }
}

ArcCode ZipArchive::open(const QString &path)
{
    close();
    if (path.isEmpty())
        return ArcCannotOpen;
    const QByteArray native = QFile::encodeName(path);
    int ze = 0;
    zip_ = zip_open(native.constData(), ZIP_RDONLY | ZIP_CHECKCONS, &ze);
    if (!zip_) {
        const ArcCode code = archiveOpenCode(ze);
        return code == ArcNotZip ? noDirectoryCode(path) : code;
    }
    return ArcOk;
}

ArcCode ZipArchive::openBuffer(const QByteArray &bytes)
{
    close();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *src = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    if (!src) {
        zip_error_fini(&error);
        return ArcNoMemory;
    }
    zip_ = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!zip_) {
        zip_source_free(src);
        ArcCode code = archiveOpenCode(zip_error_code_zip(&error));
        if (code == ArcNotZip && bytes.startsWith(QByteArray("PK\x03\x04", 4)))
            code = ArcDamaged;
        zip_error_fini(&error);
        return code;
    }
    zip_error_fini(&error);
    return ArcOk;
}

qint64 ZipArchive::memberCount() const
{
    if (!zip_)
        return 0;
    const zip_int64_t n = zip_get_num_entries(zip_, 0);
    return n < 0 ? 0 : qint64(n);
}

qint64 ZipArchive::findMember(const QString &name) const
{
    const qint64 n = memberCount();
    for (qint64 i = 0; i < n; ++i) {
        const char *stored = zip_get_name(zip_, zip_uint64_t(i), 0);
        if (stored && sameMemberName(QString::fromUtf8(stored), name))
            return i;
    }
    return -1;
}

ArcCode ZipArchive::memberInfo(qint64 index, ZipMemberInfo &info) const
{
    info = ZipMemberInfo{};
    if (!zip_ || index < 0 || index >= memberCount())
        return ArcMemberNotFound;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip_, zip_uint64_t(index), 0, &st) != 0)
        return ArcDamaged;
    info.index = index;
    if (st.valid & ZIP_STAT_NAME)
        info.name = QString::fromUtf8(st.name);
    if (st.valid & ZIP_STAT_SIZE)
        info.size = qint64(std::min<zip_uint64_t>(st.size, zip_uint64_t(INT64_MAX)));
    if (st.valid & ZIP_STAT_COMP_SIZE)
        info.compressedSize = qint64(std::min<zip_uint64_t>(st.comp_size, zip_uint64_t(INT64_MAX)));
    if (st.valid & ZIP_STAT_CRC)
        info.crc = st.crc;
    if (st.valid & ZIP_STAT_COMP_METHOD)
        info.method = quint16(st.comp_method);
    if (st.valid & ZIP_STAT_ENCRYPTION_METHOD) {
        info.encrypted = st.encryption_method != ZIP_EM_NONE;
        info.encryptionMethod = st.encryption_method;
    }
    if (st.valid & ZIP_STAT_MTIME)
        dosFromTime(st.mtime, info.dosTime, info.dosDate);
    zip_uint32_t len = 0;
    const char *comment = zip_file_get_comment(zip_, zip_uint64_t(index), &len, ZIP_FL_ENC_RAW);
    if (comment && len > 0)
        info.comment = QByteArray(comment, qsizetype(len));
    return ArcOk;
}

ArcCode ZipArchive::listMembers(QList<ZipMemberInfo> &members) const
{
    members.clear();
    if (!zip_)
        return ArcBadHandle;
    const qint64 n = memberCount();
    for (qint64 i = 0; i < n; ++i) {
        ZipMemberInfo info;
        const ArcCode code = memberInfo(i, info);
        if (code != ArcOk) {
            members.clear();
            return code;
        }
        members.append(info);
    }
    return ArcOk;
}

QByteArray ZipArchive::archiveComment() const
{
    if (!zip_)
        return {};
    int len = 0;
    const char *c = zip_get_archive_comment(zip_, &len, ZIP_FL_ENC_RAW);
    return c && len > 0 ? QByteArray(c, len) : QByteArray();
}

// ---- ZipMemberReader --------------------------------------------------------

ZipMemberReader::~ZipMemberReader()
{
    close();
}

void ZipMemberReader::close()
{
    if (file_) {
        zip_fclose(file_);
        file_ = nullptr;
    }
    index_ = -1;
    position_ = 0;
    failed_ = ArcOk;
}

ArcCode ZipMemberReader::fail(ArcCode code)
{
    failed_ = code;
    return code;
}

ArcCode ZipMemberReader::open(const ZipArchive &archive, qint64 index, const QByteArray &password)
{
    close();
    if (!archive.isOpen())
        return fail(ArcBadHandle);
    ArcCode code = archive.memberInfo(index, info_);
    if (code != ArcOk)
        return fail(code);
    // Methods libzip cannot read are refused here: its open leaks memory
    // when it meets them.
    if ((info_.encrypted && !zip_encryption_method_supported(info_.encryptionMethod, 0))
        || !zip_compression_method_supported(info_.method, 0))
        return fail(ArcUnsupported);
    if (info_.encrypted && password.isEmpty())
        return fail(ArcPasswordRequired);
    password_ = password;
    file_ = zip_fopen_index_encrypted(archive.handle(), zip_uint64_t(index), 0,
                                      info_.encrypted ? password.constData() : nullptr);
    if (!file_)
        return fail(dataErrorCode(zip_error_code_zip(zip_get_error(archive.handle())), info_.encrypted));
    index_ = index;
    position_ = 0;
    return ArcOk;
}

ArcCode ZipMemberReader::readSome(char *buffer, qint64 n, qint64 *got)
{
    *got = 0;
    const zip_int64_t r = zip_fread(file_, buffer, zip_uint64_t(n));
    if (r < 0)
        return fail(dataErrorCode(zip_error_code_zip(zip_file_get_error(file_)), info_.encrypted));
    *got = qint64(r);
    position_ += *got;
    if (position_ > info_.size)
        return fail(info_.encrypted ? ArcWrongPassword : ArcSizeMismatch);
    return ArcOk;
}

ArcCode ZipMemberReader::read(char *buffer, qint64 n)
{
    if (failed_ != ArcOk)
        return failed_;
    if (!file_)
        return fail(ArcBadHandle);
    if (n < 0)
        return ArcBadArgument;
    if (position_ + n > info_.size)
        return ArcRangeBeyondEnd;
    qint64 done = 0;
    while (done < n) {
        qint64 got = 0;
        const ArcCode code = readSome(buffer + done, std::min(n - done, ReadBlock), &got);
        if (code != ArcOk)
            return code;
        if (got == 0) // the data ends before the directory says it does
            return fail(info_.encrypted ? ArcWrongPassword : ArcSizeMismatch);
        done += got;
    }
    return ArcOk;
}

ArcCode ZipMemberReader::skip(qint64 n)
{
    std::vector<char> scratch(size_t(std::min(std::max<qint64>(n, 1), ReadBlock)));
    while (n > 0) {
        const qint64 step = std::min<qint64>(n, qint64(scratch.size()));
        const ArcCode code = read(scratch.data(), step);
        if (code != ArcOk)
            return code;
        n -= step;
    }
    return ArcOk;
}

ArcCode ZipMemberReader::finish()
{
    if (failed_ != ArcOk)
        return failed_;
    if (!file_)
        return fail(ArcBadHandle);
    ArcCode code = skip(info_.size - position_);
    if (code != ArcOk)
        return code;
    // One more read must find the end; it also makes libzip compare the checksum.
    char extra[256];
    qint64 got = 0;
    code = readSome(extra, sizeof extra, &got);
    if (code != ArcOk)
        return code;
    if (got != 0)
        return fail(info_.encrypted ? ArcWrongPassword : ArcSizeMismatch);
    return ArcOk;
}

// ---- password check and unzip -------------------------------------------------

ArcCode verifyPassword(const ZipArchive &archive, qint64 index, const QByteArray &password)
{
    ZipMemberReader reader;
    ArcCode code = reader.open(archive, index, password);
    if (code != ArcOk || !reader.info().encrypted)
        return code;
    const ZipMemberInfo &info = reader.info();
    if (info.size > VerifyWholeLimit && info.method != ZIP_CM_STORE)
        code = reader.skip(VerifyPrefix);
    else
        code = reader.finish();
    // A password that decrypts to noise fails in the decompressor or the
    // checksum; either way it is the wrong password.
    if (code == ArcDataError || code == ArcSizeMismatch)
        code = ArcWrongPassword;
    return code;
}

// Opens the archive and the member named (ignoring case) for reading with
// the password.
static ArcCode openNamedMember(const QString &archivePath, const QString &member, const QString &password,
                               ZipArchive &archive, ZipMemberReader &reader, qint64 *memberIndex = nullptr)
{
    ArcCode code = archive.open(archivePath);
    if (code != ArcOk)
        return code;
    const qint64 index = archive.findMember(member);
    if (index < 0)
        return ArcMemberNotFound;
    if (memberIndex)
        *memberIndex = index;
    return reader.open(archive, index, passwordBytes(password));
}

ArcCode unzipToMemory(const QString &archivePath, const QString &member, const QString &password,
                      const UnzipTarget &target)
{
    if (target.capacity < 0 || (target.capacity > 0 && !target.dest))
        return ArcBadArgument;
    ZipArchive archive;
    ZipMemberReader reader;
    qint64 index = -1;
    ArcCode code = openNamedMember(archivePath, member, password, archive, reader, &index);
    if (code != ArcOk)
        return code;
    const qint64 size = reader.info().size;
    if (size == 0)
        return ArcEmptyMember;
    if (size > target.capacity)
        return ArcSizeMismatch;

    // The loader scans bytes as soon as they are published in filled, so
    // bytes from a wrong password must never get there. A deflated member's
    // password is checked on its start first (noise fails in the
    // decompressor); a stored one has only its checksum at the end, so its
    // bytes are published only once that checksum is good.
    const bool encrypted = reader.info().encrypted;
    const bool stored = reader.info().method == ZIP_CM_STORE;
    if (encrypted && !stored) {
        code = verifyPassword(archive, index, passwordBytes(password));
        if (code != ArcOk)
            return code;
    }
    const bool publishAsRead = !(encrypted && stored);

    int lastPercent = 0;
    qint64 done = 0;
    while (done < size) {
        if (target.cancel && target.cancel->load())
            return ArcCancelled;
        const qint64 step = std::min(size - done, ReadBlock);
        code = reader.read(target.dest + done, step);
        if (code != ArcOk)
            return code;
        done += step;
        if (target.filled && publishAsRead)
            target.filled->store(done, std::memory_order_release);
        const int percent = int(done * 100 / size);
        if (percent > lastPercent && percent < 100) {
            lastPercent = percent;
            if (target.progress)
                target.progress(percent);
        }
    }
    code = reader.finish();
    if (code != ArcOk)
        return code;
    if (target.filled)
        target.filled->store(size, std::memory_order_release);
    if (target.progress)
        target.progress(100);
    return ArcOk;
}

ArcCode unzipToBytes(const QString &archivePath, const QString &member, const QString &password,
                     QByteArray &bytes, qint64 limit)
{
    bytes.clear();
    ZipArchive archive;
    ZipMemberReader reader;
    ArcCode code = openNamedMember(archivePath, member, password, archive, reader);
    if (code != ArcOk)
        return code;
    const qint64 size = reader.info().size;
    if (size > limit)
        return ArcSizeMismatch;
    QByteArray data(size, Qt::Uninitialized);
    code = reader.read(data.data(), size);
    if (code == ArcOk)
        code = reader.finish();
    if (code != ArcOk)
        return code;
    bytes = std::move(data);
    return ArcOk;
}

int unzipResult(ArcCode code)
{
    if (code == ArcOk)
        return 1;
    if (code == ArcMemberNotFound)
        return 0;
    return -int(code);
}

} // namespace veltra
