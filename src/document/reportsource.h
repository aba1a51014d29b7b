#pragma once
// Opening the source of a report: the file or the unzipped member, the first
// chunk, the type, the identity and the chunk size. The loader and
// veltra-cli share these steps.

#include "document/reportdocument.h"
#include "document/scanner.h"

#include <QString>

namespace veltra {

struct SourceOptions {
    // Plain-text buffer size from the settings (10,000, 30,000 or 60,000) and
    // whether the green bar effect is "NONE": together they decide the chunk
    // size of a report without page marks.
    int plainTextBufferSize = PlainReadChunkSize;
    bool greenBarNone = false;
};

// Reads the first chunk from the current source of doc into ReadBuffer and
// decides the type, the separator and the chunk size.
void DetectSourceType(ReportDocument &doc, const SourceOptions &options);

// Opens a plain report file read-only, sets size, date, type, key and chunk
// size, and clears the page table. On failure returns false with the
// message text in *error ("Could not open file 01\r\n" + path).
bool OpenPlainReport(ReportDocument &doc, const QString &path, const SourceOptions &options,
                     QString *error);

// Uses bytes already in memory (an unzipped member) as the report text.
void OpenMemoryReport(ReportDocument &doc, const QString &memberName, QByteArray bytes,
                      const SourceOptions &options);

// Closes the report's file or archive source. A report whose extension is
// "~~~" is a temporary copy made for viewing and is deleted here. The chunk
// size goes back to its default.
void CloseReportFile(ReportDocument &doc);

// Scans from the start to the end without pauses; returns false when a stop
// was requested.
bool ScanWholeReport(ReportDocument &doc);

} // namespace veltra
