// Time to the first page: open, detect, scan the first chunk and format
// page 1, as the viewer does before it shows anything. Prints milliseconds.

#include "document/pagetext.h"
#include "document/reportsource.h"
#include "document/scanner.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace veltra;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        fputs("usage: bench-firstpage REPORT\n", stderr);
        return 2;
    }
    QElapsedTimer t;
    t.start();
    ReportDocument doc;
    QString error;
    if (!OpenPlainReport(doc, QString::fromLocal8Bit(argv[1]), {}, &error)) {
        fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ChunkScanResult scratch;
    ScanNextChunk(doc, scratch);
    const QByteArray text = PageDisplayText(doc, 1);
    const double ms = t.nsecsElapsed() / 1e6;
    printf("%.3f\n", ms);
    return text.isEmpty() ? 1 : 0;
}
