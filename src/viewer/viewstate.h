#pragma once
// The view state of the main window: what the presented page looks like in
// the four panes and where each pane was scrolled.

#include <QByteArray>
#include <QList>

#include <array>

namespace veltra {

struct ViewState {
    QList<QByteArray> HeaderLines;
    QList<QByteArray> PageLines;    // header format "C" only
    int BodyStartLine = 1;
    int LastHeaderLine = 0;
    std::array<int, 5> SavedTopLine{{1, 1, 1, 1, 1}};     // index = pane number 1..4
    std::array<int, 5> SavedLeftColumn{{1, 1, 1, 1, 1}};
    int ActivePane = 4;
    int ClickedPane = 4;
    bool ViewReady = false;
    bool FirstPresentation = false;

    // Before the first page of a newly opened report.
    void resetForNewReport()
    {
        SavedTopLine.fill(1);
        SavedLeftColumn.fill(1);
        BodyStartLine = 1;
        FirstPresentation = true;
    }
};

} // namespace veltra
