#pragma once
// Report type detection and the chunk-by-chunk page scanner.
//
// The scanner keeps no state of its own: everything it continues from lives
// in the report document, and the loader decides when the next chunk goes.

#include "document/reportdocument.h"

#include <array>
#include <vector>

namespace veltra {

inline constexpr char CompressionMagic[] = "*VT COMPRESSION V1*"; // 19 bytes
constexpr int CompressionMagicLength = 19;
constexpr int FirstBoundaryLimit = 15000;

struct DetectResult {
    ReportType type = RptTypePlain;
    std::array<char, 3> separator{{'R', '%', 'P'}};
    QString version;  // "1A" or "1B" for compressed reports
};

// Decides the report type from the first chunk. Zero bytes among the first
// length-1 bytes are turned into spaces in the buffer.
DetectResult DetectRptType(char *buffer, int length);

struct ChunkScanResult {
    std::vector<PageEntry> entries;  // start offsets in the report
    std::vector<qint64> numbers;     // page number given to each entry
    int lastIndex = -1;              // index of the last entry, -1 when none
    qint64 nextScanOffset = -1;
    ChunkScanResult() { entries.reserve(MaxPagesPerChunk); numbers.reserve(MaxPagesPerChunk); }
};

// Finds the page boundaries of one chunk. The chunk buffer is changed in
// place (zero bytes become spaces; in carriage-control reports a page mark
// "7" becomes "1"). pageCounter is the number of the last page found and is
// advanced for each entry.
void ScanPages(char *chunk, int bytes, ReportType type, bool atEnd, qint64 chunkOffset,
               qint64 &pageCounter, int maxPages, const std::array<char, 3> &separator,
               ChunkScanResult &result);

// Reads the chunk at NextScanOffset, scans it, appends its pages to the page
// table and resolves LocateOffset. Runs on the loader thread.
void ScanNextChunk(ReportDocument &doc, ChunkScanResult &scratch);

} // namespace veltra
