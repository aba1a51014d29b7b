#include "document/pagetext.h"

#include "platform/messagesink.h"

#include <QList>

#include <algorithm>
#include <cstring>

namespace veltra {

const QByteArray PrinterResetSequence = QByteArray("\x1b&l1O\x1b&l4.00C\x1b(10U\x1b(s0p16.67h8.5v0s0b0T");

namespace {

constexpr char Marker = 21; // stands in for a control character while spacing lines

void cap(QByteArray &t)
{
    if (t.size() > MaxPageText)
        t.truncate(MaxPageText);
}

void removeBytes(QByteArray &t, std::initializer_list<char> bytes)
{
    char *out = t.data();
    const char *in = t.constData();
    const char *end = in + t.size();
    qsizetype n = 0;
    for (; in < end; ++in) {
        bool drop = false;
        for (char b : bytes)
            drop |= (*in == b);
        if (!drop)
            out[n++] = *in;
    }
    t.truncate(n);
}

// Code page 437 box characters to ASCII.
struct LineDrawTable {
    unsigned char map[256];
    LineDrawTable()
    {
        for (int i = 0; i < 256; ++i)
            map[i] = static_cast<unsigned char>(i);
        for (int b : {179, 186})
            map[b] = '|';
        for (int b : {196, 205})
            map[b] = '-';
        map[156] = '$';
        for (int b : {180, 182, 185, 187, 188, 191, 192, 193, 194, 195, 197, 199, 200, 201, 202, 203,
                      204, 209, 217, 218})
            map[b] = '*';
    }
};
const LineDrawTable lineDraw;

} // namespace

QByteArray tStSubstrZ(const QByteArray &source, const QByteArray &find, const QByteArray &replacement)
{
    if (find.isEmpty())
        return source.left(MaxPageText);
    QByteArray out;
    out.reserve(std::min<qsizetype>(source.size() + 64, MaxPageText));
    qsizetype from = 0;
    while (from <= source.size()) {
        const qsizetype at = source.indexOf(find, from);
        if (at < 0) {
            out.append(source.constData() + from, source.size() - from);
            break;
        }
        out.append(source.constData() + from, at - from);
        out.append(replacement);
        from = at + find.size();
        if (out.size() > MaxPageText)
            break;
    }
    cap(out);
    return out;
}

qint64 FindFrom(const QByteArray &text, const QByteArray &pattern, qint64 start)
{
    if (start < 0 || start > text.size())
        return -1;
    // Zero-terminated text: stop at the first zero byte.
    const qsizetype zero = text.indexOf('\0');
    const QByteArray view = zero >= 0 ? text.left(zero) : text;
    return view.indexOf(pattern, qsizetype(start));
}

QByteArray MergeOverprintLines(const QByteArray &text)
{
    QByteArray t = text;
    removeBytes(t, {'\r'});
    QList<QByteArray> lines = t.split('\n');
    // split() gives a last empty piece after a final line feed; that is not a
    // line of the page.
    if (!lines.isEmpty() && lines.last().isEmpty() && t.endsWith('\n'))
        lines.removeLast();
    std::vector<bool> removed(lines.size(), false);

    for (qsizetype j = 0; j < lines.size(); ++j) {
        if (removed[j] || !lines[j].startsWith('+'))
            continue;
        if (j == 0)
            break;
        QByteArray &base = lines[j - 1];
        QByteArray underline(base.size(), ' ');
        qsizetype k = j;
        for (; k < lines.size() && lines[k].startsWith('+'); ++k) {
            const QByteArray &over = lines[k];
            removed[k] = true;
            if (base.size() < over.size()) {
                base.append(QByteArray(over.size(), ' '));
                underline.append(QByteArray(over.size(), ' '));
            }
            for (qsizetype pos = 1; pos < over.size(); ++pos) {
                const char c = over[pos];
                if (c == '_')
                    underline[pos] = '-';
                else if (c != ' ' && base[pos] == ' ')
                    base[pos] = c;
            }
        }
        if (underline.count(' ') != underline.size()) {
            lines[j] = underline;
            removed[j] = false;
        }
        j = k - 1;
    }

    QByteArray out;
    out.reserve(t.size() + lines.size() * 2);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (removed[i])
            continue;
        out.append(lines[i]);
        out.append("\r\n");
    }
    return out;
}

QByteArray FormatPageText(const QByteArray &raw, ReportType type)
{
    const qsizetype zero = raw.indexOf('\0');
    QByteArray t = zero >= 0 ? raw.left(zero) : raw;
    cap(t);

    t = tStSubstrZ(t, "\f\r\n", "\r");
    removeBytes(t, {7, 15});
    removeBytes(t, {'\r'});
    t = tStSubstrZ(t, "\n", "\r\n");
    if (t.startsWith("\r\n"))
        t.remove(0, 2);
    t = tStSubstrZ(t, PrinterResetSequence, QByteArray(39, ' '));
    removeBytes(t, {26, '\f'});
    for (char &c : t)
        c = char(lineDraw.map[static_cast<unsigned char>(c)]);

    if (type == RptTypeCarriageControl) {
        if (t.contains("\n+")) {
            t = MergeOverprintLines(t);
            cap(t);
        }
        if (!t.isEmpty())
            t.remove(0, 1); // the page's own control character
        // Spacing marks at the start of each line: the mark goes, and "0" and
        // "-" leave one or two empty lines in its place.
        QByteArray out;
        out.reserve(std::min<qsizetype>(t.size() * 2, MaxPageText));
        const char *p = t.constData();
        const char *end = p + t.size();
        while (p < end && out.size() <= MaxPageText) {
            const char *lf = static_cast<const char *>(memchr(p, '\n', size_t(end - p)));
            const char *stop = lf ? lf + 1 : end;
            out.append(p, stop - p);
            p = stop;
            if (lf && p < end) {
                if (*p == ' ')
                    ++p;
                else if (*p == '0') {
                    out.append("\r\n");
                    ++p;
                } else if (*p == '-') {
                    out.append("\r\n\r\n");
                    ++p;
                }
            }
        }
        // Byte 21 marks a removed control character while lines are spaced;
        // any that the page held itself goes with them.
        removeBytes(out, {Marker});
        t = out;
        cap(t);
    }

    const qsizetype before = t.size();
    if (!t.endsWith("\r\n")) {
        if (t.size() > MaxPageText - 2)
            t.truncate(MaxPageText - 2);
        t.append("\r\n");
    }
    if (before < 3)
        t = QByteArray(BlankPageText);
    return t;
}

bool ReadPageRaw(ReportDocument &doc, qint64 page, QByteArray &raw)
{
    raw.clear();
    if (page < 1 || page > doc.pages.count())
        return false;
    const PageEntry e = doc.pages.page(page);
    return ReadPageRaw(doc, page, doc.RptType, e.length, e.start, raw);
}

bool ReadPageRaw(ReportDocument &doc, qint64 page, ReportType type, qint64 length, qint64 start,
                 QByteArray &raw)
{
    raw.clear();
    length = std::clamp<qint64>(length, 0, MaxPageText);
    if (start < 0)
        return false;

    if (type == RptTypeCompressed && page == 1) {
        // The file header comes before the first page's block. Its length
        // follows the version found in it, whether or not the report is
        // archived: skipping 24 bytes of a 21-byte header would cut the
        // first block.
        const qint64 header = doc.CompressionVersion == QLatin1String("1B") ? 24 : 21;
        start += header;
        length = std::max<qint64>(0, length - header);
    }

    if (doc.readHold.begin)
        doc.readHold.begin();
    QByteArray bytes(length, '\0');
    bool ok = true;
    if (length > 0) {
        if (doc.DirectArchivePaging && doc.directArchiveRead) {
            const int rc = doc.directArchiveRead(bytes.data(), start, length);
            if (rc != 0) {
                ok = false;
                if (doc.messages)
                    doc.messages->errorAbort(QStringLiteral("Archive Error 41 RC = ") + QString::number(rc));
            }
        } else {
            const qint64 got = doc.readAt(start, bytes.data(), length);
            ok = got >= 0;
            bytes.truncate(std::max<qint64>(got, 0));
        }
    }
    if (doc.readHold.end)
        doc.readHold.end();
    if (!ok)
        return false;

    if (type == RptTypeCompressed) {
        const QByteArray sep(doc.PageSeparator.data(), 3);
        if (bytes.startsWith(sep))
            bytes.remove(0, 3);
        if (bytes.endsWith(sep))
            bytes.chop(3);
        raw = QByteArray(TextBufferSize, '\0');
        if (!doc.expandBlock || doc.expandBlock(bytes.constData(), bytes.size(), raw.data(), TextBufferSize) != 0) {
            raw.clear();
            return true; // a damaged block shows as an empty page
        }
        raw.truncate(qsizetype(strnlen(raw.constData(), TextBufferSize - 1)));
        return true;
    }

    bytes.replace('\0', ' ');
    raw = bytes;
    return true;
}

QByteArray PageDisplayText(ReportDocument &doc, qint64 page)
{
    QByteArray raw;
    if (!ReadPageRaw(doc, page, raw))
        return QByteArray(BlankPageText);
    return FormatPageText(raw, doc.RptType);
}

} // namespace veltra
