#include "viewer/reportpane.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace veltra {

namespace {

// Windows-1252 from 0x80 to 0x9F; the five undefined bytes keep their own
// value (U+0081, U+008D, U+008F, U+0090, U+009D).
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Control bytes other than TAB and LF are shown as their control pictures
// (U+2400 + byte, U+2421 for DEL): the text document would otherwise turn a
// CR into a line break or draw NUL with no width, and the pane's columns
// would no longer be byte columns.
constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDelPicture = 0x2421;

// The text layout's own top-of-text offset is small; a character cell is
// measured from the font.
constexpr qreal kCellSlack = 0.5;

} // namespace

QChar ReportPane::byteToChar(unsigned char b)
{
    if (b == '\t' || b == '\n')
        return QChar(char16_t(b));
    if (b < 0x20)
        return QChar(char16_t(kControlPictures + b));
    if (b == 0x7F)
        return QChar(kDelPicture);
    if (b >= 0x80 && b <= 0x9F)
        return QChar(kHigh[b - 0x80]);
    return QChar(char16_t(b));
}

unsigned char ReportPane::charToByte(QChar c)
{
    const char16_t u = c.unicode();
    if (u == '\t' || u == '\n')
        return static_cast<unsigned char>(u);
    if (u >= kControlPictures && u < kControlPictures + 0x20)
        return static_cast<unsigned char>(u - kControlPictures);
    if (u == kDelPicture)
        return 0x7F;
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<unsigned char>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u)
            return static_cast<unsigned char>(0x80 + i);
    return '?';
}

QString ReportPane::decode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            continue;  // CR LF is one line end
        out.append(byteToChar(b));
    }
    return out;
}

QByteArray ReportPane::encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 16);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\n' || u == QChar::ParagraphSeparator || u == QChar::LineSeparator) {
            out.append("\r\n");
            continue;
        }
        out.append(static_cast<char>(charToByte(c)));
    }
    return out;
}

ReportPane::ReportPane(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setCenterOnScroll(false);

    QFont f(QStringLiteral("Courier New"), 8);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    setFont(f);

    // The selection stays visible while another pane has the focus.
    QPalette pal = palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    setPalette(pal);

    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { emit topLineChanged(topLine()); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { emitColumnIfChanged(); });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { emit caretMoved(caretLine(), caretColumn()); });
    fontMetricsChanged();
}

void ReportPane::setScrollBars(ScrollBars bars)
{
    const bool h = bars == ScrollBars::Horizontal || bars == ScrollBars::Both;
    const bool v = bars == ScrollBars::Vertical || bars == ScrollBars::Both;
    setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

// --- Text ---

void ReportPane::setReportText(const QByteArray &bytes)
{
    setPlainText(decode(bytes));
}

QByteArray ReportPane::reportText() const
{
    return encode(toPlainText());
}

void ReportPane::appendLine(const QByteArray &line)
{
    // A cursor of its own, so neither the caret nor the view moves.
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    c.insertBlock();
    c.insertText(decode(line));
}

int ReportPane::lineCount() const
{
    return document()->blockCount();
}

QByteArray ReportPane::lineText(int line) const
{
    if (line < 1 || line > lineCount())
        return {};
    return encode(document()->findBlockByNumber(line - 1).text());
}

// --- Position ---

int ReportPane::firstVisibleLine() const
{
    return firstVisibleBlock().blockNumber() + 1;
}

QRectF ReportPane::lineRect(int line) const
{
    const QTextBlock first = firstVisibleBlock();
    if (line < first.blockNumber() + 1 || line > lineCount())
        return {};
    QPointF offset = contentOffset();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        const QRectF r = blockBoundingRect(b).translated(offset);
        if (b.blockNumber() + 1 == line)
            return QRectF(0, r.top(), viewport()->width(), r.height());
        offset.ry() += r.height();
    }
    return {};
}

int ReportPane::topLine() const
{
    return verticalScrollBar()->value() + 1;
}

void ReportPane::setTopLine(int line)
{
    verticalScrollBar()->setValue(std::max(line, 1) - 1);
}

qreal ReportPane::charWidth() const
{
    const qreal w = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('M'));
    return w > 0 ? w : 1;
}

qreal ReportPane::lineHeight() const
{
    const QTextBlock b = document()->firstBlock();
    const qreal h = b.isValid() ? blockBoundingRect(b).height() : 0;
    if (h > 0)
        return h;
    const qreal fh = QFontMetricsF(font()).lineSpacing();
    return fh > 0 ? fh : 1;
}

int ReportPane::firstColumn() const
{
    // A column cut by less than half a pixel (the scroll bar counts whole
    // pixels, a cell may not) still counts as shown.
    const qreal h = horizontalScrollBar()->value();
    const int col = int(std::ceil((h - kCellSlack) / charWidth())) + 1;
    return std::max(col, 1);
}

void ReportPane::setFirstColumn(int column)
{
    horizontalScrollBar()->setValue(qRound((std::max(column, 1) - 1) * charWidth()));
}

void ReportPane::emitColumnIfChanged()
{
    const int c = firstColumn();
    if (c != lastColumn_) {
        lastColumn_ = c;
        emit firstColumnChanged(c);
    }
}

int ReportPane::rowsForHeight(int pixels) const
{
    const qreal inset = std::max<qreal>(contentOffset().y(), 0);
    return std::max(0, int(std::floor((pixels - inset + kCellSlack) / lineHeight())));
}

int ReportPane::columnsForWidth(int pixels) const
{
    const qreal margin = document()->documentMargin();
    return std::max(0, int(std::floor((pixels - margin + kCellSlack) / charWidth())));
}

int ReportPane::heightForRows(int rows) const
{
    if (rows <= 0)
        return 0;
    const qreal inset = std::max<qreal>(contentOffset().y(), 0);
    return int(std::ceil(inset + rows * lineHeight() - kCellSlack));
}

int ReportPane::widthForColumns(int columns) const
{
    if (columns <= 0)
        return 0;
    return int(std::ceil(document()->documentMargin() + columns * charWidth() - kCellSlack));
}

int ReportPane::visibleRows() const
{
    return rowsForHeight(viewport()->height());
}

int ReportPane::visibleColumns() const
{
    return columnsForWidth(viewport()->width());
}

QSize ReportPane::chromeSize() const
{
    return size() - viewport()->size();
}

// --- Caret and selection ---

int ReportPane::caretLine() const
{
    return textCursor().blockNumber() + 1;
}

int ReportPane::caretColumn() const
{
    return textCursor().positionInBlock() + 1;
}

namespace {
// Sets the cursor without letting the pane scroll to it.
void placeCursor(ReportPane *pane, const QTextCursor &c)
{
    const int v = pane->verticalScrollBar()->value();
    const int h = pane->horizontalScrollBar()->value();
    pane->setTextCursor(c);
    pane->verticalScrollBar()->setValue(v);
    pane->horizontalScrollBar()->setValue(h);
}
} // namespace

void ReportPane::setCaret(int line, int column)
{
    const QTextBlock b = document()->findBlockByNumber(std::clamp(line, 1, lineCount()) - 1);
    QTextCursor c(b);
    c.setPosition(b.position() + std::clamp(column - 1, 0, b.length() - 1));
    placeCursor(this, c);
}

void ReportPane::selectText(int line, int column, int length)
{
    const QTextBlock b = document()->findBlockByNumber(std::clamp(line, 1, lineCount()) - 1);
    const int start = std::clamp(column - 1, 0, b.length() - 1);
    const int end = std::clamp(start + std::max(length, 0), start, b.length() - 1);
    QTextCursor c(b);
    c.setPosition(b.position() + start);
    c.setPosition(b.position() + end, QTextCursor::KeepAnchor);
    placeCursor(this, c);
}

void ReportPane::clearSelection()
{
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return;
    c.clearSelection();
    placeCursor(this, c);
}

void ReportPane::setPaintingHeld(bool held)
{
    setUpdatesEnabled(!held);
    if (!held)
        viewport()->update();
}

bool ReportPane::hasSelection() const
{
    return textCursor().hasSelection();
}

QByteArray ReportPane::selectedBytes() const
{
    return encode(textCursor().selectedText());
}

// --- Painting ---

void ReportPane::setLineBands(const QColor &odd, const QColor &band)
{
    bandsOn_ = true;
    oddColor_ = odd;
    bandColor_ = band;
    viewport()->update();
}

void ReportPane::clearLineBands()
{
    bandsOn_ = false;
    viewport()->update();
}

void ReportPane::setDrawLineHandler(DrawLineHandler handler)
{
    drawLine_ = std::move(handler);
    viewport()->update();
}

void ReportPane::setBackgroundColor(const QColor &color)
{
    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Base, color);
    setPalette(pal);
    viewport()->update();
}

QColor ReportPane::backgroundColor() const
{
    return palette().color(QPalette::Active, QPalette::Base);
}

void ReportPane::drawLineBackground(QPainter &painter, const QRectF &rect, int line)
{
    if (drawLine_ && drawLine_(painter, rect, line))
        return;
    if (bandsOn_)
        painter.fillRect(rect, (line % 2 == 0) ? bandColor_ : oddColor_);
}

void ReportPane::paintEvent(QPaintEvent *event)
{
    if (!measuring_ && (bandsOn_ || drawLine_)) {
        QPainter p(viewport());
        const qreal width = viewport()->width();
        const qreal bottom = viewport()->height();
        QPointF offset = contentOffset();
        for (QTextBlock b = firstVisibleBlock(); b.isValid(); b = b.next()) {
            const QRectF r = blockBoundingRect(b).translated(offset);
            if (r.top() > bottom)
                break;
            drawLineBackground(p, QRectF(0, r.top(), width, r.height()), b.blockNumber() + 1);
            offset.ry() += r.height();
        }
    }
    QPlainTextEdit::paintEvent(event);
}

// --- Events ---

void ReportPane::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    emit entered();
}

void ReportPane::mousePressEvent(QMouseEvent *event)
{
    emit clicked();
    QPlainTextEdit::mousePressEvent(event);
}

void ReportPane::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fontMetricsChanged();
}

void ReportPane::fontMetricsChanged()
{
    setTabStopDistance(8 * charWidth());
    lastColumn_ = firstColumn();
}

} // namespace veltra
