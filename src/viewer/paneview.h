#pragma once
// What the viewer needs from one of its four text panes. The window's panes
// implement it; tests use a plain model. Lines and columns are 1-based.

#include <QByteArray>

namespace veltra {

enum PaneNumber { LeftHeaderPane = 1, RightHeaderPane = 2, LeftBodyPane = 3, RightBodyPane = 4 };

class PaneView {
public:
    virtual ~PaneView() = default;
    virtual void setText(const QByteArray &text) = 0;   // replaces the whole text (report bytes)
    virtual int lineCount() const = 0;
    virtual int topLine() const = 0;
    virtual void setTopLine(int line) = 0;               // clamped to the text by the pane
    virtual int firstColumn() const = 0;
    virtual void setFirstColumn(int column) = 0;
    virtual int visibleRows() const = 0;                 // whole rows in view
    virtual int visibleColumns() const = 0;              // whole columns in view
    virtual void setCaret(int line, int column) = 0;
    virtual void clearSelection() = 0;
    virtual void giveFocus() = 0;
    virtual void setPaintingHeld(bool held) = 0;
};

} // namespace veltra
