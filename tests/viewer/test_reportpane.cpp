#include "viewer/reportpane.h"

#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using veltra::ReportPane;

namespace {

QByteArray allBytesExceptLineEnds()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        if (i != '\n' && i != '\r')
            b.append(char(i));
    return b;
}

// n lines "Lnnnn" followed by `width` - 5 letters cycling A..Z.
QByteArray numberedLines(int n, int width)
{
    QByteArray text;
    for (int i = 1; i <= n; ++i) {
        QByteArray line = QByteArray::number(i).rightJustified(4, '0').prepend('L');
        for (int c = line.size(); c < width; ++c)
            line.append(char('A' + c % 26));
        text += line + "\r\n";
    }
    return text;
}

} // namespace

class TestReportPane : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips();
    void highBytesFollowWindows1252_data();
    void highBytesFollowWindows1252();
    void textKeepsByteColumns();
    void selectionGivesBackBytes();
    void topLineAndColumnAccessors();
    void measuresRowsAndColumns();
    void caretDoesNotScroll();
    void appendLineKeepsView();
    void bandsPaintEvenLines();
    void focusAndClickSignals();
};

void TestReportPane::everyByteRoundTrips()
{
    QSet<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
        const QChar c = ReportPane::byteToChar(uchar(b));
        QVERIFY2(!seen.contains(c.unicode()), qPrintable(QString::number(b, 16)));
        seen.insert(c.unicode());
        QCOMPARE(int(ReportPane::charToByte(c)), b);
    }
    const QByteArray bytes = allBytesExceptLineEnds();
    const QString text = ReportPane::decode(bytes);
    QCOMPARE(text.size(), bytes.size());  // one character per byte
    QCOMPARE(ReportPane::encode(text), bytes);
    // Characters outside the code page come back as '?'.
    QCOMPARE(ReportPane::encode(QStringLiteral("a\u4E2D")), QByteArray("a?"));
}

void TestReportPane::highBytesFollowWindows1252_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("undefined 81") << 0x81 << 0x81;
    QTest::newRow("undefined 8D") << 0x8D << 0x8D;
    QTest::newRow("undefined 8F") << 0x8F << 0x8F;
    QTest::newRow("undefined 90") << 0x90 << 0x90;
    QTest::newRow("undefined 9D") << 0x9D << 0x9D;
    QTest::newRow("left quote") << 0x93 << 0x201C;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("nbsp") << 0xA0 << 0xA0;
    QTest::newRow("e acute") << 0xE9 << 0xE9;
    QTest::newRow("tab") << 0x09 << 0x09;
    QTest::newRow("form feed as picture") << 0x0C << 0x240C;
    QTest::newRow("NUL as picture") << 0x00 << 0x2400;
}

void TestReportPane::highBytesFollowWindows1252()
{
    QFETCH(int, byte);
    QFETCH(int, unicode);
    QCOMPARE(int(ReportPane::byteToChar(uchar(byte)).unicode()), unicode);
}

void TestReportPane::textKeepsByteColumns()
{
    ReportPane pane;
    // A lone CR, a NUL and a form feed inside a line must not split it or
    // shift the columns after them.
    const QByteArray line1 = QByteArray("AB\rC") + char(0) + "\fD\x80\x81";
    pane.setReportText(line1 + "\r\nsecond\nthird");
    QCOMPARE(pane.lineCount(), 3);
    QCOMPARE(pane.lineText(1), line1);
    QCOMPARE(pane.lineText(2), QByteArray("second"));
    QCOMPARE(pane.lineText(3), QByteArray("third"));
    QCOMPARE(pane.lineText(0), QByteArray());
    QCOMPARE(pane.lineText(4), QByteArray());
    QCOMPARE(pane.reportText(), line1 + "\r\nsecond\r\nthird");

    // A final line end leaves an empty last line, as the page texts count it.
    pane.setReportText("a\r\nb\r\n");
    QCOMPARE(pane.lineCount(), 3);
}

void TestReportPane::selectionGivesBackBytes()
{
    ReportPane pane;
    pane.setReportText(QByteArray("xx\x93quoted\x94 \xE9t\xE9\r\nnext line"));
    pane.selectText(1, 3, 8);
    QVERIFY(pane.hasSelection());
    QCOMPARE(pane.selectedBytes(), QByteArray("\x93quoted\x94"));
    pane.clearSelection();
    QVERIFY(!pane.hasSelection());
    QCOMPARE(pane.caretLine(), 1);
    QCOMPARE(pane.caretColumn(), 11);  // the end of the former selection

    // Across the line end: CR LF.
    pane.selectText(1, 12, 100);
    QCOMPARE(pane.selectedBytes(), QByteArray("\xE9t\xE9"));
    pane.selectAll();
    QCOMPARE(pane.selectedBytes(), QByteArray("xx\x93quoted\x94 \xE9t\xE9\r\nnext line"));
}

void TestReportPane::topLineAndColumnAccessors()
{
    ReportPane pane;
    pane.setScrollBars(ReportPane::ScrollBars::Both);
    pane.resize(400, 300);
    pane.setReportText(numberedLines(200, 300));
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));

    QCOMPARE(pane.topLine(), 1);
    QCOMPARE(pane.firstColumn(), 1);
    QSignalSpy tops(&pane, &ReportPane::topLineChanged);
    QSignalSpy cols(&pane, &ReportPane::firstColumnChanged);

    pane.setTopLine(50);
    QCOMPARE(pane.topLine(), 50);
    QCOMPARE(pane.firstVisibleLine(), 50);
    QCOMPARE(tops.size(), 1);
    QCOMPARE(tops.last().at(0).toInt(), 50);

    for (int col : {21, 2, 137, 1}) {
        pane.setFirstColumn(col);
        QCOMPARE(pane.firstColumn(), col);
        QCOMPARE(cols.last().at(0).toInt(), col);
    }
    // Below 1 and beyond the text are clamped.
    pane.setTopLine(0);
    QCOMPARE(pane.topLine(), 1);
    pane.setTopLine(100000);
    QCOMPARE(pane.lineCount(), 201);  // with the empty line after the last line end
    QVERIFY(pane.topLine() > 1);
    QCOMPARE(pane.topLine() + pane.visibleRows() - 1, 201);  // last line at the bottom
}

void TestReportPane::measuresRowsAndColumns()
{
    ReportPane pane;
    pane.setReportText(numberedLines(300, 100));
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    for (int n = 1; n <= 12; ++n) {
        const int h = pane.heightForRows(n);
        QCOMPARE(pane.rowsForHeight(h), n);
        QCOMPARE(pane.rowsForHeight(h - 1), n - 1);  // the smallest such height
        const int w = pane.widthForColumns(n);
        QCOMPARE(pane.columnsForWidth(w), n);
        QCOMPARE(pane.columnsForWidth(w - 1), n - 1);
    }
    // The viewport's own count agrees with the measurement.
    const QSize chrome = pane.chromeSize();
    pane.resize(pane.widthForColumns(40) + chrome.width(), pane.heightForRows(10) + chrome.height());
    QCOMPARE(pane.visibleRows(), 10);
    QCOMPARE(pane.visibleColumns(), 40);
    QCOMPARE(pane.font().family(), QStringLiteral("Courier New"));
    QCOMPARE(pane.tabStopDistance(), 8 * pane.charWidth());

    // Zooming changes the font size: tabs and measurements follow.
    const qreal before = pane.charWidth();
    QFont bigger = pane.font();
    bigger.setPointSize(14);
    pane.setFont(bigger);
    QVERIFY(pane.charWidth() > before);
    QCOMPARE(pane.tabStopDistance(), 8 * pane.charWidth());
    QCOMPARE(pane.columnsForWidth(pane.widthForColumns(30)), 30);
    QCOMPARE(pane.rowsForHeight(pane.heightForRows(7)), 7);
}

void TestReportPane::caretDoesNotScroll()
{
    ReportPane pane;
    pane.resize(300, 200);
    pane.setReportText(numberedLines(100, 200));
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    pane.setTopLine(30);
    QSignalSpy moved(&pane, &ReportPane::caretMoved);
    pane.setCaret(90, 150);  // far outside the view
    QCOMPARE(pane.caretLine(), 90);
    QCOMPARE(pane.caretColumn(), 150);
    QCOMPARE(pane.topLine(), 30);
    QCOMPARE(pane.firstColumn(), 1);
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved.last().at(0).toInt(), 90);
    QCOMPARE(moved.last().at(1).toInt(), 150);
    // Clamped into the text: column past the line end, line past the text.
    pane.setCaret(500, 500);
    QCOMPARE(pane.caretLine(), 101);  // the empty line after the last line end
    QCOMPARE(pane.caretColumn(), 1);
    pane.setCaret(5, 999);
    QCOMPARE(pane.caretColumn(), 201);
}

void TestReportPane::appendLineKeepsView()
{
    ReportPane pane;
    pane.resize(300, 200);
    pane.setReportText(numberedLines(60, 10));
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    pane.setTopLine(61);  // scrolled to the bottom
    const int top = pane.topLine();
    while (pane.lineCount() < 100)
        pane.appendLine(" ");
    QCOMPARE(pane.lineCount(), 100);
    QCOMPARE(pane.topLine(), top);
    QCOMPARE(pane.lineText(100), QByteArray(" "));
}

void TestReportPane::bandsPaintEvenLines()
{
    ReportPane pane;
    pane.resize(300, 200);
    pane.setScrollBars(ReportPane::ScrollBars::None);
    pane.setReportText(QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n"));  // empty lines: only background
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    const QColor money(192, 220, 192);
    pane.setLineBands(Qt::white, money);
    auto colourOfLine = [&](int line) {
        const QImage img = pane.viewport()->grab().toImage();
        const QRectF r = pane.lineRect(line);
        return QColor(img.pixel(img.width() - 3, int(r.center().y())));
    };
    QCOMPARE(colourOfLine(1), QColor(Qt::white));
    QCOMPARE(colourOfLine(2), money);
    QCOMPARE(colourOfLine(4), money);
    QCOMPARE(colourOfLine(5), QColor(Qt::white));

    // A draw-line handler takes over; measuring paints nothing special.
    pane.setDrawLineHandler([](QPainter &p, const QRectF &r, int line) {
        p.fillRect(r, line == 3 ? Qt::red : Qt::blue);
        return true;
    });
    QCOMPARE(colourOfLine(3), QColor(Qt::red));
    QCOMPARE(colourOfLine(2), QColor(Qt::blue));
    pane.setMeasuring(true);
    pane.setBackgroundColor(Qt::yellow);
    QCOMPARE(colourOfLine(3), QColor(Qt::yellow));
}

void TestReportPane::focusAndClickSignals()
{
    QWidget host;
    auto *a = new ReportPane(&host);
    auto *b = new ReportPane(&host);
    b->move(0, 120);
    host.resize(300, 300);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QSignalSpy entered(b, &ReportPane::entered);
    QSignalSpy clicked(b, &ReportPane::clicked);
    a->setFocus();
    QTest::mouseClick(b->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.size(), 1);
    QVERIFY(entered.size() >= 1);

    // The selection of an unfocused pane stays painted in the highlight colour.
    QCOMPARE(b->palette().color(QPalette::Inactive, QPalette::Highlight),
             b->palette().color(QPalette::Active, QPalette::Highlight));
}

QTEST_MAIN(TestReportPane)
#include "test_reportpane.moc"
