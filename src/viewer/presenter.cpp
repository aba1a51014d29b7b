#include "viewer/presenter.h"

namespace veltra {

PagePresenter::PagePresenter(ViewState &view, const std::array<PaneView *, 4> &panes, PresenterHost &host)
    : view_(view), panes_(panes), host_(host)
{
}

void PagePresenter::holdPainting()
{
    if (paintHolds_++ == 0)
        for (PaneView *p : panes_)
            p->setPaintingHeld(true);
}

void PagePresenter::releasePainting()
{
    if (paintHolds_ > 0 && --paintHolds_ == 0)
        for (PaneView *p : panes_)
            p->setPaintingHeld(false);
    host_.processEvents();
}

void PagePresenter::captureTopLines()
{
    for (int n = 1; n <= 4; ++n)
        view_.SavedTopLine[size_t(n)] = pane(n).topLine();
}

void PagePresenter::captureLeftColumns()
{
    for (int n = 1; n <= 4; ++n)
        view_.SavedLeftColumn[size_t(n)] = pane(n).firstColumn();
}

void PagePresenter::capturePositions()
{
    captureTopLines();
    captureLeftColumns();
}

void PagePresenter::presentPage(qint64 page, const QByteArray &displayText)
{
    view_.ViewReady = false;
    const int zero = displayText.indexOf('\0');
    const QByteArray text = zero >= 0 ? displayText.left(zero) : displayText;
    texts_ = BuildPresentationTexts(text, settings.greenBar, settings.headerFormat);
    view_.HeaderLines = texts_.HeaderLines;
    view_.PageLines = texts_.PageLines;

    holdPainting();
    host_.processEvents();

    // Header panes. A saved position beyond the new text is clamped by the
    // pane to its last line or column.
    pane(RightHeaderPane).setText(texts_.headerText);
    pane(LeftHeaderPane).setText(texts_.headerText);
    for (int n : {int(LeftHeaderPane), int(RightHeaderPane)}) {
        pane(n).setTopLine(view_.SavedTopLine[size_t(n)]);
        pane(n).setFirstColumn(view_.SavedLeftColumn[size_t(n)]);
    }

    // Body panes: the text already holds at least 100 lines.
    pane(RightBodyPane).setText(texts_.bodyText);
    pane(LeftBodyPane).setText(texts_.bodyText);
    pane(LeftBodyPane).setFirstColumn(view_.SavedLeftColumn[LeftBodyPane]);
    pane(RightBodyPane).setFirstColumn(view_.SavedLeftColumn[RightBodyPane]);

    const bool first = view_.FirstPresentation;
    host_.applySplits(page, first);
    view_.FirstPresentation = false;
    host_.processEvents();
    computeBodyStart();

    pane(RightBodyPane).setTopLine(view_.BodyStartLine);
    pane(LeftBodyPane).setTopLine(view_.BodyStartLine);

    capturePositions();
    pane(RightBodyPane).setCaret(view_.SavedTopLine[RightBodyPane], view_.SavedLeftColumn[RightBodyPane]);
    capturePositions();

    view_.ActivePane = RightBodyPane;
    pane(RightBodyPane).giveFocus();
    view_.ViewReady = true;
    host_.processEvents();
    releasePainting();

    host_.updatePageCommands(page);
    if (settings.allowNotes)
        host_.notesPageShown(page);
}

void PagePresenter::computeBodyStart()
{
    const PaneView &rh = pane(RightHeaderPane);
    const BodyStart b = ComputeBodyStart(texts_, rh.topLine(), rh.visibleRows(), host_.rowSplitPosition());
    view_.BodyStartLine = b.BodyStartLine;
    view_.LastHeaderLine = b.LastHeaderLine;
    if (host_.rowSplitPosition() <= 1) {
        pane(LeftBodyPane).setTopLine(1);
        pane(RightBodyPane).setTopLine(1);
    }
}

void PagePresenter::bodyFollows(PaneView &moved, PaneView &other, int movedNumber)
{
    if (moved.topLine() == other.topLine())
        return;
    if (moved.topLine() < view_.BodyStartLine) {
        moved.setTopLine(view_.BodyStartLine);
        moved.setCaret(view_.BodyStartLine, view_.SavedLeftColumn[size_t(movedNumber)]);
    }
    if (movedNumber == RightBodyPane)
        host_.processEvents();
    other.setTopLine(moved.topLine());
    captureTopLines();
}

void PagePresenter::OvcEditorLBTopLineChanged(int)
{
    if (view_.ViewReady)
        bodyFollows(pane(LeftBodyPane), pane(RightBodyPane), LeftBodyPane);
}

void PagePresenter::OvcEditorRBTopLineChanged(int)
{
    if (view_.ViewReady)
        bodyFollows(pane(RightBodyPane), pane(LeftBodyPane), RightBodyPane);
}

void PagePresenter::OvcEditorRHTopLineChanged(int)
{
    if (!view_.ViewReady || pane(RightHeaderPane).topLine() == pane(LeftHeaderPane).topLine())
        return;
    computeBodyStart();
    pane(LeftHeaderPane).setTopLine(pane(RightHeaderPane).topLine());
    pane(LeftBodyPane).setTopLine(view_.BodyStartLine);
    pane(RightBodyPane).setTopLine(view_.BodyStartLine);
    captureTopLines();
}

void PagePresenter::OvcEditorLHTopLineChanged(int)
{
    if (!view_.ViewReady || pane(RightHeaderPane).topLine() == pane(LeftHeaderPane).topLine())
        return;
    pane(RightHeaderPane).setTopLine(pane(LeftHeaderPane).topLine());
    computeBodyStart();
    pane(LeftBodyPane).setTopLine(view_.BodyStartLine);
    pane(RightBodyPane).setTopLine(view_.BodyStartLine);
    captureTopLines();
}

void PagePresenter::clearPanes()
{
    view_.ViewReady = false;
    texts_ = PresentationTexts{};
    for (PaneView *p : panes_) {
        p->setText(QByteArray(20, ' '));
        p->setTopLine(1);
        p->setFirstColumn(1);
    }
    view_.SavedTopLine.fill(1);
    view_.SavedLeftColumn.fill(1);
    view_.BodyStartLine = 1;
}

} // namespace veltra
