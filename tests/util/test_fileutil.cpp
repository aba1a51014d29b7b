#include "util/fileutil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace veltra;

namespace {

class FileUtil : public ::testing::Test {
protected:
    QTemporaryDir scratch;

    QString path(const QString &name) const { return scratch.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &data)
    {
        const QString p = path(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return p;
    }

    static QByteArray readAll(const QString &p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QByteArray pattern(qsizetype size)
{
    QByteArray data(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 31 + i / 4096) & 0xff);
    return data;
}

TEST_F(FileUtil, CopyKeepsContentDateAndPermissions)
{
    ASSERT_TRUE(scratch.isValid());
    // Sizes around the block size catch a lost or doubled last block.
    for (qsizetype size : {0, 1, 4095, 4096, 4097, 3 * 4096 + 17}) {
        SCOPED_TRACE(size);
        const QByteArray data = pattern(size);
        const QString source = writeFile("src.bin", data);
        const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1'000'000'000);
        {
            QFile f(source);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
        }
        const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                           QFileDevice::ReadGroup;
        ASSERT_TRUE(QFile::setPermissions(source, perms));

        const QString target = path("copy.bin");
        ASSERT_EQ(copyFile(source, target), CopyOk);
        EXPECT_EQ(readAll(target), data);
        EXPECT_EQ(QFileInfo(target).lastModified(), stamp);
        const auto ownerGroupOther = QFileDevice::Permissions::fromInt(0x7077);
        EXPECT_EQ(QFile::permissions(target) & ownerGroupOther, perms);
    }
}

TEST_F(FileUtil, CopyOverwritesExistingTarget)
{
    const QString source = writeFile("a.txt", "new");
    const QString target = writeFile("b.txt", "old and longer");
    ASSERT_EQ(copyFile(source, target), CopyOk);
    EXPECT_EQ(readAll(target), "new");
}

TEST_F(FileUtil, CopyOntoItselfKeepsTheFile)
{
    const QString source = writeFile("a.txt", "content");
    EXPECT_EQ(copyFile(source, source), CopyOk);
    EXPECT_EQ(readAll(source), "content");
}

TEST_F(FileUtil, CopyFailureCodes)
{
    const QString source = writeFile("a.txt", "x");
    const struct {
        const char *what;
        QString source, target;
        int code;
    } cases[] = {
        {"missing source", path("none.txt"), path("t1.txt"), CopySourceUnreadable},
        {"source is a folder", scratch.path(), path("t2.txt"), CopySourceUnreadable},
        {"target folder missing", source, path("nodir/t3.txt"), CopyTargetNotCreatable},
        {"target is a folder", source, scratch.path(), CopyTargetNotCreatable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(copyFile(c.source, c.target), c.code);
        if (c.target != scratch.path()) {
            EXPECT_FALSE(QFileInfo::exists(c.target));
        }
    }
    EXPECT_EQ(readAll(source), "x");
}

TEST_F(FileUtil, ReadErrorLeavesNoTarget)
{
    // Reading our own memory file from offset 0 fails with an I/O error.
    const QString target = path("mem.bin");
    EXPECT_EQ(copyFile("/proc/self/mem", target), CopyReadError);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_EQ(QDir(scratch.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(FileUtil, WriteErrorLeavesNoTargetAndKeepsOldOne)
{
    const QString source = writeFile("big.bin", pattern(256 * 1024));
    const QString target = writeFile("old.bin", "previous");

    // A file size limit makes every write beyond it fail.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int code = copyFile(source, target);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(code, CopyWriteError);
    EXPECT_EQ(readAll(target), "previous");
    EXPECT_EQ(QDir(scratch.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"big.bin", "old.bin"}));
}

TEST_F(FileUtil, ListsFilesAndFoldersWithOptionalRecursion)
{
    writeFile("b.txt", "1");
    writeFile("a.txt", "1");
    writeFile("sub/c.txt", "1");
    writeFile("sub/deep/d.txt", "1");
    writeFile(".hidden", "1");
    QDir(scratch.path()).mkpath("empty");
    const QString root = QFileInfo(scratch.path()).absoluteFilePath() + "/";
    auto full = [&](QStringList names) {
        for (QString &n : names)
            n.prepend(root);
        return names;
    };
    // A link back to the root must not make the walk endless.
    ASSERT_TRUE(QFile::link(scratch.path(), path("sub/loop")));

    FileList flat = listFiles(scratch.path(), false);
    EXPECT_TRUE(flat.ok());
    EXPECT_EQ(flat.paths, full({".hidden", "a.txt", "b.txt"}));

    FileList deep = listFiles(scratch.path(), true);
    EXPECT_TRUE(deep.ok());
    EXPECT_EQ(deep.paths, full({".hidden", "a.txt", "b.txt", "sub/c.txt", "sub/deep/d.txt"}));

    FileList dirs = listSubdirectories(scratch.path(), false);
    EXPECT_EQ(dirs.paths, full({"empty", "sub"}));
    FileList allDirs = listSubdirectories(scratch.path(), true);
    EXPECT_EQ(allDirs.paths, full({"empty", "sub", "sub/deep", "sub/loop"}));
}

TEST_F(FileUtil, ListingAMissingOrNonFolderStartFails)
{
    const QString file = writeFile("f.txt", "1");
    for (const QString &start : {path("missing"), file, QString()}) {
        for (bool recursive : {false, true}) {
            const FileList files = listFiles(start, recursive);
            EXPECT_EQ(files.error, "Invalid starting directory");
            EXPECT_TRUE(files.paths.isEmpty());
            EXPECT_FALSE(listSubdirectories(start, recursive).ok());
        }
    }
}

TEST_F(FileUtil, TempFileNameCreatesUniqueEmptyFiles)
{
    const QString first = tempFileName(scratch.path(), "VT");
    const QString second = tempFileName(scratch.path(), "VT");
    ASSERT_FALSE(first.isEmpty());
    EXPECT_NE(first, second);
    for (const QString &name : {first, second}) {
        const QFileInfo info(name);
        EXPECT_TRUE(info.isFile());
        EXPECT_EQ(info.size(), 0);
        EXPECT_TRUE(info.fileName().startsWith("VT"));
        EXPECT_EQ(info.absolutePath(), QFileInfo(scratch.path()).absoluteFilePath());
    }
    EXPECT_EQ(tempFileName(path("missing"), "VT"), "");
    EXPECT_EQ(tempFileName(scratch.path(), "../VT"), "");
}

}  // namespace
