#include "viewer/pagepresentation.h"

namespace veltra {

namespace {

// Lines of a text split at line feeds, carriage returns removed; a final
// line feed gives no empty last line.
QList<QByteArray> linesOf(const QByteArray &text)
{
    QByteArray t = text;
    t.replace("\r", "");
    QList<QByteArray> lines = t.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool onlyBlanks(const QByteArray &line)
{
    for (char c : line)
        if (c != ' ')
            return false;
    return true;
}

} // namespace

PresentationTexts BuildPresentationTexts(const QByteArray &displayText, bool greenBar, char headerFormat)
{
    PresentationTexts out;
    const qsizetype zero = displayText.indexOf('\0');
    QByteArray t = zero >= 0 ? displayText.left(zero) : displayText;

    if (greenBar) {
        QByteArray padded;
        for (const QByteArray &line : linesOf(t)) {
            padded += line;
            if (line.size() < GreenBarLineWidth)
                padded += QByteArray(GreenBarLineWidth - line.size(), ' ');
            padded += "\r\n";
            if (padded.size() >= MaxPaddedText)
                break;
        }
        if (padded.size() < MaxPaddedText)
            t = padded;
    }

    out.bodyLines = linesOf(t);
    for (const QByteArray &line : out.bodyLines) {
        if (headerFormat == 'C') {
            out.PageLines << line;
            if (onlyBlanks(line))
                continue;
        }
        out.HeaderLines << line;
        out.headerText += line;
        out.headerText += "\r\n";
    }

    out.bodyText = t;
    if (!out.bodyText.isEmpty() && !out.bodyText.endsWith('\n'))
        out.bodyText += "\r\n";
    // The body panes always hold at least 100 lines; the editor counts the
    // empty line after the final line end as one.
    int lineCount = int(out.bodyLines.size()) + 1;
    while (lineCount < MinBodyLines) {
        out.bodyText += " \r\n";
        out.bodyLines << QByteArray(" ");
        ++lineCount;
    }
    return out;
}

BodyStart ComputeBodyStart(const PresentationTexts &texts, int headerTopLine, int headerVisibleRows,
                           int rowSplitPosition)
{
    BodyStart r;
    const int d = headerTopLine + headerVisibleRows;  // first header line not shown
    r.LastHeaderLine = d - 1;
    const int bodyLineCount = int(texts.bodyLines.size()) + 1;
    // No header row shown, or nothing to show in it: the body shows the page
    // from its first line.
    if (rowSplitPosition <= 1 || texts.HeaderLines.isEmpty()) {
        r.BodyStartLine = 1;
        return r;
    }
    if (texts.HeaderLines.size() < d) {
        r.BodyStartLine = bodyLineCount - 1;
        return r;
    }
    int start = -1;
    int i = 1;  // body line (1-based) from which the next header line is looked for
    for (int j = 1; j <= d; ++j) {
        if (j > texts.HeaderLines.size() || i > MaxHeaderSearch) {
            start = bodyLineCount - 1;
            break;
        }
        const QByteArray &want = texts.HeaderLines[j - 1];
        for (int line = i; line <= bodyLineCount - 2; ++line) {
            if (texts.bodyLines[line - 1] == want) {
                start = line;
                i = line + 1;
                break;
            }
        }
    }
    r.BodyStartLine = start < 0 ? bodyLineCount - 1 : start;
    return r;
}

} // namespace veltra
