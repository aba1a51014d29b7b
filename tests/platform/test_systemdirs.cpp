#include "platform/systemdirs.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace veltra;

namespace {

// Sets or clears an environment variable for one test and restores it.
class EnvGuard {
public:
    EnvGuard(const char *name, const char *value) : m_name(name)
    {
        if (const char *old = std::getenv(name))
            m_old = QByteArray(old), m_had = true;
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had = false;
};

TEST(SystemDirs, ProgramDirOverrideGetsATrailingSeparator)
{
    for (const char *value : {"/opt/veltra", "/opt/veltra/"}) {
        EnvGuard home("VELTRA_HOME", value);
        EXPECT_EQ(programDir(), "/opt/veltra/");
    }
}

TEST(SystemDirs, ProgramDirWithoutOverrideIsTheExecutableFolder)
{
    EnvGuard home("VELTRA_HOME", nullptr);
    const QString dir = programDir();
    ASSERT_TRUE(dir.endsWith('/'));
    const QString exe = QFileInfo("/proc/self/exe").symLinkTarget();
    EXPECT_EQ(dir, QFileInfo(exe).absolutePath() + "/");
    EXPECT_TRUE(QFileInfo(dir).isDir());
}

TEST(SystemDirs, UserSettingsDirHasNoTrailingSeparator)
{
    {
        EnvGuard user("VELTRA_USER_DIR", "/tmp/vt-user/");
        EXPECT_EQ(userSettingsDir(), "/tmp/vt-user");
    }
    {
        EnvGuard user("VELTRA_USER_DIR", nullptr);
        EnvGuard xdg("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(userSettingsDir(), QDir::homePath() + "/.config/veltra");
    }
}

TEST(SystemDirs, TempDirAndDriveLetter)
{
    EXPECT_EQ(tempDir(), QDir::tempPath() + "/");
    EXPECT_TRUE(programDriveLetter().isEmpty());
}

}  // namespace
