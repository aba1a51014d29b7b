#pragma once
// The page index file (".VTI"): the page start offsets of a scanned report,
// so that the next open of the same report needs no scan.
//
//   [RPT INFO]
//   RPTNAME=<report path, upper-cased>
//   RPTDATETIME=<MM/DD/YYYY hh:mm:ss>
//   RPTSIZE=<size>
//   RPTTYPE=<1..4>
//   <empty>
//   [PAGE INDICES]
//   <start of page 1> ... <start of page N>
//   <size>
//
// Lines end in CR LF.

#include "document/reportdocument.h"

#include <QByteArray>
#include <QString>

namespace veltra {

struct IndexSettings {
    bool useIndices = true;        // UseIndices "YES"
    bool saveIndices = false;      // SaveIndices "YES"
    bool storeInReportDir = true;  // StoreIndicesIn "REPORTDIR"
    QString pageIndiceDir;         // PageIndiceDir, without a trailing separator
};

// Sets IndexDir and IndexFileName for the report path of doc. separator is
// the path separator of the report path ('/' here, '\\' for paths written by
// other systems).
void BuildIndexNames(ReportDocument &doc, const IndexSettings &settings, QChar separator = QLatin1Char('/'));

// The four header lines compared when an index is read.
void BuildIndexHeader(ReportDocument &doc);

// Cuts index bytes into lines: a CR ends a line, line feeds are ignored, a
// last line without an ending counts.
QStringList IndexLines(const QByteArray &bytes);

// Fills the page table of doc from index lines when they are valid for the
// report (date, size and type match and every offset is a number in order,
// starting at 0 and ending at the report size). Returns whether the index
// was taken; on false the page table is left empty.
bool ApplyIndexLines(ReportDocument &doc, const QStringList &lines);

// Reads the index file of a plain report (IndexFileName) when index use is
// on. Sets IndexValid and, when valid, PageCountText.
bool ReadPlainIndex(ReportDocument &doc, const IndexSettings &settings);

// The bytes of the index file for the current page table.
QByteArray IndexFileBytes(const ReportDocument &doc);

enum class IndexWriteResult { Written, NotWanted, NoPlace, Failed };

// Writes the index file when the settings ask for it and the report allows
// it (complete scan, not from an index, not archived, not a plain-text
// report, no two separators in a row in the index path). Written whole or
// not at all.
IndexWriteResult WriteIndex(const ReportDocument &doc, const IndexSettings &settings,
                            QChar separator = QLatin1Char('/'));

} // namespace veltra
