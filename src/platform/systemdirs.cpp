#include "platform/systemdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace veltra {

namespace {

QString withSeparator(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir.append(QLatin1Char('/'));
    return dir;
}

}  // namespace

QString programDir()
{
    const QString home = qEnvironmentVariable("VELTRA_HOME");
    if (!home.isEmpty())
        return withSeparator(home);
    if (QCoreApplication::instance())
        return withSeparator(QCoreApplication::applicationDirPath());
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return withSeparator(QFileInfo(exe.symLinkTarget()).absolutePath());
}

QString userSettingsDir()
{
    QString dir = qEnvironmentVariable("VELTRA_USER_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
              QStringLiteral("/veltra");  // ~/.config/veltra unless XDG_CONFIG_HOME says otherwise
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

QString tempDir()
{
    return withSeparator(QDir::tempPath());
}

QString programDriveLetter()
{
    return {};
}

}  // namespace veltra
