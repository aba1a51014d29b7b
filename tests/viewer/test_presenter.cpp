// Presentation into four model panes: what each pane holds and where it is
// scrolled after a page is presented and while the user scrolls.

#include "viewer/presenter.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace veltra;

namespace {

struct ModelPane : PaneView {
    QByteArray text;
    int top = 1, column = 1, rows = 5, caretLine = 0, caretColumn = 0;
    bool held = false;
    PagePresenter *presenter = nullptr;
    int number = 0;

    void setText(const QByteArray &t) override { text = t; top = 1; }
    int lineCount() const override { return int(text.count('\n')) + 1; }
    int topLine() const override { return top; }
    void setTopLine(int line) override
    {
        const int old = top;
        top = std::clamp(line, 1, lineCount());
        if (top != old && presenter) {
            switch (number) {
            case 1: presenter->OvcEditorLHTopLineChanged(top); break;
            case 2: presenter->OvcEditorRHTopLineChanged(top); break;
            case 3: presenter->OvcEditorLBTopLineChanged(top); break;
            case 4: presenter->OvcEditorRBTopLineChanged(top); break;
            }
        }
    }
    int firstColumn() const override { return column; }
    void setFirstColumn(int c) override { column = std::max(1, c); }
    int visibleRows() const override { return rows; }
    int visibleColumns() const override { return 80; }
    void setCaret(int l, int c) override { caretLine = l; caretColumn = c; }
    void clearSelection() override {}
    void giveFocus() override {}
    void setPaintingHeld(bool h) override { held = h; }
};

struct Host : PresenterHost {
    int split = 0;
    std::vector<qint64> commandsFor, notesFor;
    void processEvents() override {}
    int rowSplitPosition() const override { return split; }
    void applySplits(qint64, bool) override {}
    void updatePageCommands(qint64 p) override { commandsFor.push_back(p); }
    void notesPageShown(qint64 p) override { notesFor.push_back(p); }
};

struct Fixture {
    ModelPane lh, rh, lb, rb;
    Host host;
    ViewState view;
    PagePresenter p{view, {&lh, &rh, &lb, &rb}, host};
    Fixture()
    {
        int n = 1;
        for (ModelPane *m : {&lh, &rh, &lb, &rb}) {
            m->presenter = &p;
            m->number = n++;
        }
    }
};

QByteArray lines(int count, const QByteArray &prefix = "LINE ")
{
    QByteArray t;
    for (int i = 1; i <= count; ++i)
        t += prefix + QByteArray::number(i) + "\r\n";
    return t;
}

} // namespace

TEST(Presenter, FillsThePanesAndStartsTheBodyAtLineOne)
{
    Fixture f;
    f.view.resetForNewReport();
    f.p.presentPage(7, lines(60));
    EXPECT_EQ(f.rb.lineCount(), 100);
    EXPECT_EQ(f.lb.text, f.rb.text);
    EXPECT_EQ(f.lh.text, f.rh.text);
    EXPECT_TRUE(f.rh.text.startsWith("LINE 1\r\nLINE 2\r\n"));
    EXPECT_EQ(f.view.BodyStartLine, 1);
    EXPECT_EQ(f.rb.top, 1);
    EXPECT_TRUE(f.view.ViewReady);
    EXPECT_FALSE(f.view.FirstPresentation);
    EXPECT_EQ(f.view.ActivePane, 4);
    EXPECT_FALSE(f.rb.held);
    EXPECT_EQ(f.host.commandsFor, std::vector<qint64>{7});
    EXPECT_EQ(f.host.notesFor, std::vector<qint64>{7});
}

TEST(Presenter, BodyPanesStayInStepAndBelowTheHeaderRow)
{
    Fixture f;
    f.host.split = 40;  // a header row is shown: 5 rows of the header pane
    f.p.presentPage(1, lines(60));
    // The first header line not shown (line 6) starts the body.
    EXPECT_EQ(f.view.BodyStartLine, 6);
    EXPECT_EQ(f.rb.top, 6);
    EXPECT_EQ(f.lb.top, 6);

    f.rb.setTopLine(20);
    EXPECT_EQ(f.lb.top, 20);
    EXPECT_EQ(f.view.SavedTopLine[RightBodyPane], 20);

    // Scrolling above the body start snaps back.
    f.lb.setTopLine(2);
    EXPECT_EQ(f.lb.top, 6);
    EXPECT_EQ(f.rb.top, 6);

    // The header scrolled down one line moves the body start with it.
    f.rh.setTopLine(2);
    EXPECT_EQ(f.lh.top, 2);
    EXPECT_EQ(f.view.BodyStartLine, 7);
    EXPECT_EQ(f.rb.top, 7);
}

TEST(Presenter, SavedPositionsCarryToTheNextPage)
{
    Fixture f;
    f.p.presentPage(1, lines(60));
    f.rb.setFirstColumn(12);
    f.p.captureLeftColumns();
    f.p.presentPage(2, lines(3));
    EXPECT_EQ(f.rb.column, 12);
    EXPECT_EQ(f.rb.caretColumn, 12);

    // Positions during the presentation itself are ignored by the handlers.
    f.view.ViewReady = false;
    f.rb.setTopLine(30);
    EXPECT_EQ(f.lb.top, 1);
}

TEST(Presenter, ClearedPanesHoldOneBlankLine)
{
    Fixture f;
    f.p.presentPage(1, lines(10));
    f.p.clearPanes();
    for (ModelPane *m : {&f.lh, &f.rh, &f.lb, &f.rb}) {
        EXPECT_EQ(m->text, QByteArray(20, ' '));
        EXPECT_EQ(m->top, 1);
    }
    EXPECT_FALSE(f.view.ViewReady);
}
