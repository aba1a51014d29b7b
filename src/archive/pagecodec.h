#pragma once
// Compressed reports: each page is stored as one block, deflated on its own
// and escaped so that no block ever holds the byte "R". Every page separator
// ("R" x "P") starts with "R", so the scanner finds a separator only where
// the writer put one. docs/COMPRESSED-FORMAT.md describes the file layout.
//
// The document library calls the expansion through ReportDocument::expandBlock;
// InstallPageCodec sets it.

#include "document/reportdocument.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace veltra {

// The longest text a block may expand into: one page buffer without its
// terminating zero.
constexpr int MaxBlockText = MaxPageText;

// The longest page as stored in the file (the header or separator in front
// of it and its block). Compressed reports are scanned in chunks of
// DefaultReadChunkSize bytes, and a chunk that starts with a page must also
// hold the whole separator of the next page, or the scanner would end the
// page at the chunk's end.
constexpr int MaxStoredPage = DefaultReadChunkSize - 3;

// The escape byte inside a block: "Q" "q" stands for "Q", "Q" "r" for "R".
constexpr char BlockEscape = 'Q';

constexpr int CompressedHeaderLength1A = 21;
constexpr int CompressedHeaderLength1B = 24;

// Results of ExpandPageBlock (0 = success). They do not overlap the codes of
// the archive library calls, so a caller may pass them on unchanged.
enum BlockResult : int {
    BlockOk = 0,
    BlockBadArgument = 31,   // null pointer, negative length, capacity below 1
    BlockBadEscape = 32,     // an "R" in the block, or "Q" not followed by "q" or "r"
    BlockDataError = 33,     // the deflate data or its checksum is damaged
    BlockTruncated = 34,     // the block ends before its deflate data does
    BlockTooLarge = 35,      // the text is longer than the capacity or 64,000 bytes
    BlockTrailingData = 36,  // bytes after the end of the deflate data
    BlockZeroByte = 37,      // the text holds a zero byte, which would cut it short
};

// A short English text for a block result, for messages of the command-line tool.
QString blockResultText(int code);

// Compresses one page text (at most MaxBlockText bytes, no zero byte) into an
// escaped block. level is the zlib level (9 unless a test wants stored data).
// False when the text is too long, holds a zero byte, or zlib fails.
bool CompressPageBlock(const QByteArray &text, QByteArray &block, int level = 9);

// Expands one block (len bytes at src) into dst, which has room for capacity
// bytes. Writes at most capacity bytes, the text followed by a zero byte.
// Returns 0 on success; on failure dst holds an empty text (when capacity
// allows) and the result says why. Matches ReportDocument::expandBlock.
int ExpandPageBlock(const char *src, qint64 len, char *dst, qint64 capacity);

// The text a block holds for a page whose display text is displayText: the
// page formatter turns it back into exactly that display text, whatever the
// type of the report it came from, as long as the formatter's page buffer
// holds it (see CompressReport). Lines end in a line feed alone; a page that
// begins with an empty line gets one more line feed in front, which the
// formatter drops.
QByteArray BlockTextForPage(const QByteArray &displayText);

// The file header: "*VT COMPRESSION V1*" then CR LF (version "1A", 21
// bytes), or a space, the separator's middle byte, a space and CR LF
// (version "1B", 24 bytes). Empty for an unknown version or a zero middle byte.
QByteArray CompressedReportHeader(const QString &version, char separatorMiddle);

// Sets the document's block expansion to ExpandPageBlock.
void InstallPageCodec(ReportDocument &doc);

struct CompressOptions {
    QString version = QStringLiteral("1A");  // "1A" or "1B"
    char separatorMiddle = '%';              // version "1B" only: any byte but zero
    int level = 9;
};

struct CompressSummary {
    qint64 pages = 0;
    qint64 bytesIn = 0;   // display text of all pages
    qint64 bytesOut = 0;  // the compressed report
    qint64 pagesCut = 0;  // pages that gave up their last line (see CompressReport)
};

// Writes every page of a scanned report (page table complete) to out as a
// compressed report, page for page. Each block is expanded again and
// formatted before it is written: a page whose text would not come back
// exactly, or whose stored form exceeds MaxStoredPage, stops the work with a
// message naming the page, and so does a page of a compressed source whose
// block does not expand. False with the message in *error.
// One case cannot come back exactly: a page whose display text begins with
// an empty line and fills (nearly) all 64,000 characters of the page buffer.
// Such a page is stored without its last line and counted in pagesCut.
bool CompressReport(ReportDocument &source, QIODevice &out, const CompressOptions &options,
                    QString *error, CompressSummary *summary = nullptr);

// CompressReport into a file, written whole or not at all.
bool WriteCompressedReport(ReportDocument &source, const QString &path, const CompressOptions &options,
                           QString *error, CompressSummary *summary = nullptr);

} // namespace veltra
