#pragma once
// Presenting one page in the four panes: header text above, body text below,
// saved scroll positions restored, the body started where the header row
// ends, and the panes kept in step while the user scrolls.

#include "viewer/pagepresentation.h"
#include "viewer/paneview.h"
#include "viewer/viewstate.h"

#include <QByteArray>

#include <array>

namespace veltra {

// What presentation needs from the window around the panes.
class PresenterHost {
public:
    virtual ~PresenterHost() = default;
    virtual void processEvents() = 0;
    virtual int rowSplitPosition() const = 0;            // header row height in pixels
    // The row and column splits for page `page`; `first` on the first page of
    // a newly opened report (the command line's header line count applies).
    virtual void applySplits(qint64 page, bool first) = 0;
    virtual void updatePageCommands(qint64 page) = 0;
    virtual void notesPageShown(qint64 page) = 0;
};

struct PresentationSettings {
    bool greenBar = false;     // GreenBarEffect is not "NONE"
    char headerFormat = 'C';
    bool allowNotes = true;
};

class PagePresenter {
public:
    // panes indexed by pane number - 1 (LH, RH, LB, RB).
    PagePresenter(ViewState &view, const std::array<PaneView *, 4> &panes, PresenterHost &host);

    PresentationSettings settings;

    void presentPage(qint64 page, const QByteArray &displayText);
    void computeBodyStart();
    void captureTopLines();
    void captureLeftColumns();
    void capturePositions();
    void holdPainting();
    void releasePainting();

    // Scroll synchronisation, one handler per pane.
    void OvcEditorLHTopLineChanged(int line);
    void OvcEditorRHTopLineChanged(int line);
    void OvcEditorLBTopLineChanged(int line);
    void OvcEditorRBTopLineChanged(int line);

    // Every pane back to one line of 20 blanks at line and column 1 (no report).
    void clearPanes();

    const PresentationTexts &texts() const { return texts_; }
    PaneView &pane(int number) const { return *panes_[size_t(number - 1)]; }

private:
    void bodyFollows(PaneView &moved, PaneView &other, int movedNumber);

    ViewState &view_;
    std::array<PaneView *, 4> panes_;
    PresenterHost &host_;
    PresentationTexts texts_;
    int paintHolds_ = 0;
};

} // namespace veltra
