#pragma once
// ReportPane: one of the fixed-pitch, read-only text panes that show a report
// page (OvcEditorLH, OvcEditorRH, OvcEditorLB, OvcEditorRB, and the Parse N
// Copy design editor PnCOvcEdt).
//
// Report text is bytes in the report's own 8-bit code page. The pane decodes
// it with a fixed 256-entry Windows-1252 table, one character per byte (the
// five bytes Windows-1252 leaves undefined, 0x81 0x8D 0x8F 0x90 0x9D, become
// U+0081 ... U+009D), so a pane column is a byte column and a selection maps
// back to the same bytes (selectedBytes()). Lines end at LF; a CR directly
// before an LF is dropped, so "CR LF" page text shows as lines.
//
// Numbering: lines and columns are 1-based everywhere in this class (top
// line 1 = the first line of the text, column 1 = the first character).
//
// Events the window and the viewer listen to:
//   topLineChanged(line)      the top line changed (scroll bar, keys, wheel,
//                             setTopLine)
//   firstColumnChanged(col)   the first visible column changed
//   caretMoved(line, col)     the caret moved (the pane's status event)
//   entered()                 the pane received the focus
//   clicked()                 a mouse button was pressed in the pane
//
// Line bands: setLineBands() paints every even line on the band colour and
// odd lines on white, across the whole width; setDrawLineHandler() replaces
// that with the viewer's own per-line painting (the pane's draw-line event).
// Both are skipped while setMeasuring(true).

#include "viewer/paneview.h"

#include <QByteArray>
#include <QColor>
#include <QPlainTextEdit>
#include <QString>

#include <array>
#include <functional>

class QPainter;

namespace veltra {

class ReportPane : public QPlainTextEdit, public PaneView {
    Q_OBJECT
public:
    enum class ScrollBars { None, Horizontal, Vertical, Both };

    explicit ReportPane(QWidget *parent = nullptr);

    // --- The byte <-> character table (Windows-1252, one char per byte) ---
    static QChar byteToChar(unsigned char b);
    // The byte of a character; characters the table cannot give back become '?'.
    static unsigned char charToByte(QChar c);
    // Bytes to pane text: LF ends a line (QChar '\n'), a CR before LF is dropped.
    static QString decode(const QByteArray &bytes);
    // Pane text back to bytes: line and paragraph separators become CR LF.
    static QByteArray encode(const QString &text);

    void setScrollBars(ScrollBars bars);

    // --- Text ---
    void setReportText(const QByteArray &bytes);
    void setText(const QByteArray &bytes) override { setReportText(bytes); }
    QByteArray reportText() const;
    void appendLine(const QByteArray &line);
    int lineCount() const override;
    QByteArray lineText(int line) const;  // empty outside 1..lineCount()

    // --- Position (1-based) ---
    int topLine() const override;
    // Scrolls so that `line` is the first line shown, as far as the text
    // allows (the last line can come no higher than the bottom row).
    void setTopLine(int line) override;
    int firstColumn() const override;
    void setFirstColumn(int column) override;
    // Rows and columns shown whole in the current viewport.
    int visibleRows() const override;
    int visibleColumns() const override;
    // How many whole rows/columns a viewport of the given size shows, and the
    // smallest viewport height/width showing n whole rows/columns. The
    // splitter rules measure with these instead of hidden measuring panes.
    int rowsForHeight(int pixels) const;
    int columnsForWidth(int pixels) const;
    int heightForRows(int rows) const;
    int widthForColumns(int columns) const;
    // Extra pixels between the viewport and the pane's outer size (frame and
    // scroll bars that are showing).
    QSize chromeSize() const;

    // --- Caret and selection ---
    int caretLine() const;
    int caretColumn() const;
    // Puts the caret at (line, column), both clamped to the text.
    void setCaret(int line, int column) override;
    // Selects `length` characters from (line, column) on that line.
    void selectText(int line, int column, int length);
    void clearSelection() override;
    void giveFocus() override { setFocus(Qt::OtherFocusReason); }
    // Holds drawing (true) or releases it with a full repaint (false).
    void setPaintingHeld(bool held) override;
    bool hasSelection() const;
    QByteArray selectedBytes() const;

    // --- Painting ---
    // Even lines on `band`, odd lines on `odd`; off until called.
    void setLineBands(const QColor &odd, const QColor &band);
    void clearLineBands();
    bool lineBandsOn() const { return bandsOn_; }
    // Per-line painting: called for every visible line with the line's
    // rectangle (viewport coordinates, the whole width) and its number;
    // return true when the line was painted.
    using DrawLineHandler = std::function<bool(QPainter &, const QRectF &, int)>;
    void setDrawLineHandler(DrawLineHandler handler);
    void setMeasuring(bool on) { measuring_ = on; }
    // Background of the whole pane (and of the text margin).
    void setBackgroundColor(const QColor &color);
    QColor backgroundColor() const;

    // Character cell size of the current font.
    qreal charWidth() const;
    qreal lineHeight() const;

    // The first line painted (1-based); the protected firstVisibleBlock().
    int firstVisibleLine() const;
    // Where line `line` is drawn, in viewport coordinates across the whole
    // viewport width; empty when it is above the view or outside the text.
    QRectF lineRect(int line) const;

signals:
    void topLineChanged(int line);
    void firstColumnChanged(int column);
    void caretMoved(int line, int column);
    void entered();
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Fills the background of one line; the default paints the bands or
    // calls the draw-line handler.
    virtual void drawLineBackground(QPainter &painter, const QRectF &rect, int line);

private:
    void fontMetricsChanged();
    void emitColumnIfChanged();

    bool bandsOn_ = false;
    QColor oddColor_ = Qt::white;
    QColor bandColor_ = Qt::white;
    DrawLineHandler drawLine_;
    bool measuring_ = false;
    int lastColumn_ = 1;
};

} // namespace veltra
