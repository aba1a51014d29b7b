#pragma once
// Reading a page's bytes back from its source and turning them into the
// display text that the panes, the search, printing and Save to File use.

#include "document/reportdocument.h"

#include <QByteArray>

namespace veltra {

inline constexpr char BlankPageText[] = "****This page intentionally left blank****\r\n";

// The HP PCL set-up string some report writers put at the top of a page.
extern const QByteArray PrinterResetSequence; // 39 bytes

// Every occurrence of find replaced, left to right, without rescanning
// inserted text. The result is cut at MaxPageText bytes.
QByteArray tStSubstrZ(const QByteArray &source, const QByteArray &find, const QByteArray &replacement);

// 0-based index of the first occurrence of pattern at or after start, or -1.
qint64 FindFrom(const QByteArray &text, const QByteArray &pattern, qint64 start);

// Carriage-control lines: a line whose control character is "+" prints over
// the line before it; the two are merged, underscores becoming an underline
// line of "-" below the base.
QByteArray MergeOverprintLines(const QByteArray &text);

// Display text of a raw page: lines end in CR LF, at most MaxPageText bytes.
QByteArray FormatPageText(const QByteArray &raw, ReportType type);

// The raw bytes of a byte range of the report that begins with page `page`
// (for compressed reports the expanded text of that page). length is cut at
// MaxPageText. The number of the first page matters only for compressed
// reports, whose page 1 begins with the file header. Zero bytes of other
// reports become spaces. The read is bracketed by doc.readHold. Returns false
// when the read failed (an archive read failure has been shown as "Archive
// Error 41 RC = " + code); raw is empty then.
bool ReadPageRaw(ReportDocument &doc, qint64 page, ReportType type, qint64 length, qint64 start,
                 QByteArray &raw);

// The raw bytes of page n from the page table; false for a page outside
// 1..PageCount.
bool ReadPageRaw(ReportDocument &doc, qint64 page, QByteArray &raw);

// ReadPageRaw + FormatPageText. A page that cannot be read shows the blank
// page text.
QByteArray PageDisplayText(ReportDocument &doc, qint64 page);

} // namespace veltra
