#include "app/commandline.h"

#include "platform/messagesink.h"

#include <QDir>
#include <QFileInfo>

namespace veltra {

namespace {

bool startsWithIni(const QString &arg)
{
    return arg.startsWith(QLatin1String("INI="), Qt::CaseInsensitive);
}

QString extensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : name.mid(dot + 1).toUpper();
}

// A decimal whole number, or nothing.
std::optional<qint64> wholeNumber(const QString &text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

void archiveOnCommandLine(const QString &path, CommandLine &cl, MessageSink &messages, ArchiveAccess *archives)
{
    QList<ArchiveAccess::MemberEntry> members;
    if (!archives || !archives->listMembers(path, members) || members.isEmpty()) {
        messages.errorOk(QStringLiteral("Archive on Command Line contains No Reports\r\n") + path);
        return;
    }
    auto isIndex = [](const ArchiveAccess::MemberEntry &m) { return extensionOf(m.name) == QLatin1String("VTI"); };
    const ArchiveAccess::MemberEntry *report = nullptr;
    if (members.size() == 1)
        report = &members[0];
    else if (members.size() == 2 && isIndex(members[0]))
        report = &members[1];
    else if (members.size() == 2 && isIndex(members[1]))
        report = &members[0];
    if (!report) {
        messages.errorOk(QStringLiteral("Archives on Command Line are limited to ONE Report.\r\n"
                                        "Use Open Dialog to open Archives that contain multiple reports.\r\n")
                         + path);
        return;
    }
    OpenRequest request;
    if (report->encrypted) {
        const std::optional<QString> password = messages.password(QStringLiteral("Veltra"),
                                                                  QStringLiteral("Enter Password for Archive"));
        if (!password)
            return;
        if (!archives->testPassword(path, report->name, *password)) {
            messages.errorOk(QStringLiteral("Invalid Password. Verify password and open file from File Open dialog.\r\n")
                             + path);
            return;
        }
        cl.archivePassword = *password;
        request.PendingPassword = QStringLiteral("-o -s#") + *password + QStringLiteral("#");
    }
    request.RptIsArchived = true;
    request.PendingArchiveName = path;
    // The member keeps its folder inside the archive: the member lookup and
    // the unzip find it by its full name.
    request.PendingRptPath = report->name;
    cl.open = request;
}

} // namespace

QString MasterIniFromArguments(const QStringList &args)
{
    if (args.isEmpty() || !startsWithIni(args[0]))
        return {};
    return args[0].section(':', 0, 0).mid(4);
}

CommandLine ProcessCommandLine(const QStringList &args, const QString &programDir, MessageSink &messages,
                               ArchiveAccess *archives)
{
    CommandLine cl;
    if (args.isEmpty())
        return cl;

    // Argument 1: a report, "INI=master:report", a directory or nothing.
    const QString first = args[0];
    QString report;
    if (startsWithIni(first)) {
        const QStringList pieces = first.split(':');
        cl.masterIniPath = pieces[0].mid(4);
        if (pieces.size() == 2)
            report = pieces[1];
    } else {
        report = first;
    }

    if (!report.isEmpty() && report.compare(QLatin1String("NO FILE ON CL"), Qt::CaseInsensitive) != 0) {
        if (report.endsWith('/')) {
            QString dir = report;
            while (dir.size() > 1 && dir.endsWith('/'))
                dir.chop(1);
            if (!QFileInfo(dir).isDir()) {
                messages.errorOk(QStringLiteral("Invalid ReportDir Entry on Command Line\r\n") + dir);
                dir = programDir;
            }
            cl.reportDir = dir;
        } else if (!QFileInfo(report).isFile()) {
            messages.errorOk(QStringLiteral("Invalid Report Entry on Command Line\r\n") + report);
        } else if (extensionOf(report) == QLatin1String("ZIP") || extensionOf(report) == QLatin1String("VTA")) {
            archiveOnCommandLine(report, cl, messages, archives);
        } else if (QFileInfo(report).size() == 0) {
            messages.show({MessageKind::ErrorOk, QStringLiteral("FileOpen Error"),
                           QStringLiteral("FileSize = 0 \r\n") + report, {}});
        } else {
            OpenRequest request;
            request.PendingRptPath = report;
            cl.open = request;
        }
    }

    // Arguments 2 to 7. A number that is not one is named in one error box
    // and ignored; start-up goes on.
    QStringList bad;
    if (args.size() > 1) {
        const std::optional<qint64> n = wholeNumber(args[1]);
        cl.headerLineCount = (n && *n >= 0 && *n <= 99 && !args[1].trimmed().startsWith('+')) ? int(*n) : -1;
    }
    if (args.size() > 2) {
        if (const auto n = wholeNumber(args[2]))
            cl.callerWindow = *n;
        else
            bad << QStringLiteral("3: ") + args[2];
    }
    if (args.size() > 3 && args[3].compare(QLatin1String("U"), Qt::CaseInsensitive) == 0)
        cl.headerFormat = QStringLiteral("U");
    if (args.size() > 4) {
        const QString o = args[4].toUpper();
        if (o == QLatin1String("L") || o == QLatin1String("P"))
            cl.landPort = o;
    }
    auto fontSize = [&](int index, std::optional<int> &target, int minimum) {
        if (args.size() <= index || args[index].compare(QLatin1String("X"), Qt::CaseInsensitive) == 0)
            return;
        const auto n = wholeNumber(args[index]);
        if (!n || *n > 1000 || *n < -1000) {
            bad << QString::number(index + 1) + QStringLiteral(": ") + args[index];
            return;
        }
        target = std::max<int>(int(*n), minimum);
    };
    fontSize(5, cl.prntFontSize, 1);
    fontSize(6, cl.viewFontSize, 5);
    if (!bad.isEmpty())
        messages.errorOk(QStringLiteral("Invalid number on Command Line, ignored:\r\nArgument ")
                         + bad.join(QStringLiteral("\r\nArgument ")));
    return cl;
}

} // namespace veltra
