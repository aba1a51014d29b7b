// veltra-cli: headless access to the report engine, for scripts, tests and
// benchmarks. Scans with the same chunk-by-chunk path as the viewer.

#include "archive/pagecodec.h"
#include "archive/ziparchiveaccess.h"
#include "document/pagetext.h"
#include "document/reportdocument.h"
#include "document/reportsource.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

using namespace veltra;

namespace {

int usage()
{
    fputs("usage: veltra-cli info REPORT\n"
          "       veltra-cli pages REPORT\n"
          "       veltra-cli page REPORT N\n"
          "       veltra-cli compress REPORT OUT [--version 1A|1B]\n"
          "REPORT is a file path, or ARCHIVE:MEMBER for a report inside a zip archive;\n"
          "--password PW gives the password of an encrypted member.\n",
          stderr);
    return 2;
}

int fail(const QString &text)
{
    QString t = text;
    t.replace("\r\n", " ");
    fprintf(stderr, "veltra-cli: %s\n", qPrintable(t.trimmed()));
    return 1;
}

const char *typeName(ReportType t)
{
    switch (t) {
    case RptTypeCarriageControl: return "carriage-control";
    case RptTypeFormFeed: return "form-feed";
    case RptTypePlain: return "plain";
    case RptTypeCompressed: return "compressed";
    default: return "unknown";
    }
}

// ARCHIVE:MEMBER names a report inside an archive: the archive part is the
// longest prefix before a ":" that is an existing file (paths may hold ":").
bool splitArchiveMember(const QString &report, QString *archive, QString *member)
{
    if (QFileInfo(report).isFile())
        return false;
    for (qsizetype at = report.lastIndexOf(QLatin1Char(':')); at > 0;
         at = report.lastIndexOf(QLatin1Char(':'), at - 1)) {
        if (QFileInfo(report.left(at)).isFile()) {
            *archive = report.left(at);
            *member = report.mid(at + 1);
            return !member->isEmpty();
        }
    }
    return false;
}

// Unzips the member and opens it the way the loader opens an unzipped
// member. False with the message in *error.
bool openArchivedReport(ReportDocument &doc, const QString &archive, const QString &member,
                        const QString &password, QString *error)
{
    ZipArchiveAccess access;
    ArchiveAccess::MemberInfo info;
    const int found = access.lookupMember(archive, member, info);
    if (found != 0) {
        *error = (found == 12 ? QStringLiteral("Could not open archived file ") + archive
                              : QStringLiteral("VTFile to unzip not found ") + member)
                 + QStringLiteral(" RC = ") + QString::number(access.lastCode()) + QStringLiteral(" (")
                 + archiveCodeText(access.lastCode()) + QStringLiteral(")");
        return false;
    }
    if (info.size == 0) {
        *error = QStringLiteral("FileSize = 0 ") + archive + QLatin1Char(':') + member;
        return false;
    }
    QByteArray bytes(info.size, '\0');
    std::atomic<bool> cancel{false};
    const int result = access.unzipMember(archive, member, password, bytes.data(), bytes.size(), nullptr, {}, cancel);
    if (result != 1) {
        *error = QStringLiteral("VTFile to unzip not found ") + member + QStringLiteral(" UZRC: ")
                 + QString::number(result) + QStringLiteral(" (") + archiveCodeText(access.lastCode())
                 + QStringLiteral(")");
        return false;
    }
    doc.RptIsArchived = true;
    doc.RptArchiveName = archive;
    doc.setDateTime(info.year, info.month, info.day, info.hour, info.minute, info.second);
    OpenMemoryReport(doc, member, std::move(bytes), {});
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString password;
    const qsizetype pw = args.indexOf(QStringLiteral("--password"));
    if (pw >= 0) {
        if (pw + 1 >= args.size())
            return usage();
        password = args[pw + 1];
        args.remove(pw, 2);
    }
    if (args.size() < 2)
        return usage();
    const QString command = args[0];
    const QString report = args[1];

    CompressOptions compress;
    if (command == QLatin1String("compress")) {
        if (args.size() != 3 && !(args.size() == 5 && args[3] == QLatin1String("--version")))
            return usage();
        if (args.size() == 5)
            compress.version = args[4].toUpper();
        if (compress.version != QLatin1String("1A") && compress.version != QLatin1String("1B"))
            return fail(QStringLiteral("unknown compression version ") + args[4] + QStringLiteral(" (1A or 1B)"));
    }

    ReportDocument doc;
    InstallPageCodec(doc);
    QString error;
    QString archive, member;
    if (splitArchiveMember(report, &archive, &member)) {
        if (!openArchivedReport(doc, archive, member, password, &error))
            return fail(error);
    } else if (!OpenPlainReport(doc, report, {}, &error)) {
        return fail(error);
    }
    if (doc.RptSize == 0)
        return fail(QStringLiteral("FileSize = 0 ") + report);
    ScanWholeReport(doc);

    if (command == QLatin1String("info")) {
        printf("type: %d %s\nsize: %lld\npages: %lld\nkey: %s\ndate: %s\n", int(doc.RptType),
               typeName(doc.RptType), static_cast<long long>(doc.RptSize),
               static_cast<long long>(doc.pages.count()), qPrintable(doc.RptKey),
               qPrintable(doc.RptDateTime));
        return 0;
    }
    if (command == QLatin1String("pages")) {
        for (qint64 n = 1; n <= doc.pages.count(); ++n) {
            const PageEntry e = doc.pages.page(n);
            printf("%lld %lld %lld\n", static_cast<long long>(n), static_cast<long long>(e.start),
                   static_cast<long long>(e.length));
        }
        return 0;
    }
    if (command == QLatin1String("compress")) {
        CompressSummary summary;
        if (!WriteCompressedReport(doc, args[2], compress, &error, &summary))
            return fail(error);
        printf("pages: %lld\nbytes: %lld\n", static_cast<long long>(summary.pages),
               static_cast<long long>(summary.bytesOut));
        if (summary.pagesCut > 0)
            fprintf(stderr, "veltra-cli: note: %lld page(s) begin with an empty line and fill the whole "
                    "page buffer; each lost its last line\n", static_cast<long long>(summary.pagesCut));
        return 0;
    }
    if (command == QLatin1String("page")) {
        if (args.size() < 3)
            return usage();
        bool ok = false;
        const qint64 n = args[2].toLongLong(&ok);
        if (!ok || n < 1 || n > doc.pages.count())
            return fail(QStringLiteral("no page ") + args[2] + QStringLiteral(" (the report has ")
                        + QString::number(doc.pages.count()) + QStringLiteral(" pages)"));
        const QByteArray text = PageDisplayText(doc, n);
        fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return 0;
    }
    return usage();
}
