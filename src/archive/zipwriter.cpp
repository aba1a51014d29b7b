#include "archive/zipwriter.h"

#include "archive/zipreader.h"

#include <zip.h>

#include <QFile>
#include <QFileInfo>

namespace veltra {

namespace {

struct WriteState {
    std::function<void(int)> progress;
    const std::atomic<bool> *cancel = nullptr;
    int lastPercent = -1;
};

void onProgress(zip_t *, double fraction, void *ud)
{
    auto *state = static_cast<WriteState *>(ud);
    const int percent = int(fraction * 100.0 + 0.5);
    if (state->progress && percent != state->lastPercent) {
        state->lastPercent = percent;
        state->progress(percent);
    }
}

int onCancel(zip_t *, void *ud)
{
    auto *state = static_cast<WriteState *>(ud);
    return state->cancel && state->cancel->load() ? 1 : 0;
}

ArcCode writeErrorCode(int ze)
{
    switch (ze) {
    case ZIP_ER_CANCELLED:
        return ArcCancelled;
    case ZIP_ER_MEMORY:
        return ArcNoMemory;
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_COMPNOTSUPP:
        return ArcUnsupported;
    default:
        return ArcWriteError;
    }
}

} // namespace

ZipWriter::ZipWriter(const QString &archivePath) : archivePath_(archivePath) {}

void ZipWriter::setPassword(const QString &password)
{
    password_ = password;
}

void ZipWriter::setArchiveComment(const QByteArray &comment)
{
    archiveComment_ = comment;
    setComment_ = true;
}

void ZipWriter::setCompressionLevel(int level)
{
    level_ = qBound(1, level, 9);
}

void ZipWriter::addFile(const QString &sourcePath, const QString &memberName, const QByteArray &comment)
{
    items_.append(Item{memberName, sourcePath, {}, comment, {}, password_, level_});
}

void ZipWriter::addBytes(const QString &memberName, const QByteArray &data, const QByteArray &comment,
                         const QDateTime &modified)
{
    items_.append(Item{memberName, {}, data, comment, modified, password_, level_});
}

ArcCode ZipWriter::write(const std::function<void(int percent)> &progress, const std::atomic<bool> *cancel)
{
    const QByteArray native = QFile::encodeName(archivePath_);
    int ze = 0;
    zip_t *za = zip_open(native.constData(), ZIP_CREATE, &ze);
    if (!za) {
        return archiveOpenCode(ze);
    }
    auto failWith = [&](ArcCode code) {
        zip_discard(za);
        return code;
    };

    // Index of an existing member of the same name, ignoring case.
    auto existing = [&](const QString &name) -> zip_int64_t {
        const zip_int64_t n = zip_get_num_entries(za, 0);
        for (zip_int64_t i = 0; i < n; ++i) {
            const char *stored = zip_get_name(za, zip_uint64_t(i), 0);
            if (stored && sameMemberName(QString::fromUtf8(stored), name))
                return i;
        }
        return -1;
    };

    for (const Item &item : items_) {
        zip_source_t *src = nullptr;
        if (!item.sourcePath.isEmpty()) {
            const QFileInfo fi(item.sourcePath);
            if (!fi.isFile() || !fi.isReadable())
                return failWith(ArcCannotOpen);
            src = zip_source_file(za, QFile::encodeName(item.sourcePath).constData(), 0, -1);
        } else {
            // The bytes stay alive in items_ until the archive is written.
            src = zip_source_buffer(za, item.data.constData(), zip_uint64_t(item.data.size()), 0);
        }
        if (!src)
            return failWith(writeErrorCode(zip_error_code_zip(zip_get_error(za))));
        const QByteArray name = item.memberName.toUtf8();
        const zip_int64_t old = existing(item.memberName);
        zip_int64_t index = old;
        if (old >= 0) {
            if (zip_file_replace(za, zip_uint64_t(old), src, ZIP_FL_ENC_GUESS) != 0) {
                zip_source_free(src);
                return failWith(writeErrorCode(zip_error_code_zip(zip_get_error(za))));
            }
            zip_file_rename(za, zip_uint64_t(old), name.constData(), ZIP_FL_ENC_GUESS);
        } else {
            index = zip_file_add(za, name.constData(), src, ZIP_FL_ENC_GUESS);
            if (index < 0) {
                zip_source_free(src);
                return failWith(writeErrorCode(zip_error_code_zip(zip_get_error(za))));
            }
        }
        const zip_uint64_t at = zip_uint64_t(index);
        if (zip_set_file_compression(za, at, ZIP_CM_DEFLATE, zip_uint32_t(item.level)) != 0)
            return failWith(ArcUnsupported);
        if (item.modified.isValid())
            zip_file_set_mtime(za, at, time_t(item.modified.toSecsSinceEpoch()), 0);
        if (zip_file_set_comment(za, at, item.comment.isEmpty() ? nullptr : item.comment.constData(),
                                 zip_uint16_t(qMin<qsizetype>(item.comment.size(), 0xFFFF)), 0)
            != 0)
            return failWith(ArcWriteError);
        const QByteArray password = passwordBytes(item.password);
        if (zip_file_set_encryption(za, at, password.isEmpty() ? ZIP_EM_NONE : ZIP_EM_TRAD_PKWARE,
                                    password.isEmpty() ? nullptr : password.constData())
            != 0)
            return failWith(ArcUnsupported);
    }
    if (setComment_
        && zip_set_archive_comment(za, archiveComment_.isEmpty() ? nullptr : archiveComment_.constData(),
                                   zip_uint16_t(qMin<qsizetype>(archiveComment_.size(), 0xFFFF)))
               != 0)
        return failWith(ArcWriteError);

    WriteState state{progress, cancel};
    zip_register_progress_callback_with_state(za, 0.01, onProgress, nullptr, &state);
    zip_register_cancel_callback_with_state(za, onCancel, nullptr, &state);
    if (zip_close(za) != 0)
        return failWith(writeErrorCode(zip_error_code_zip(zip_get_error(za))));
    return ArcOk;
}

} // namespace veltra
