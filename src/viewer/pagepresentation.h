#pragma once
// The texts of a presented page: the body text for the two body panes and
// the header text for the two header panes, and where the body must start so
// that header and body read as one continuous page.

#include <QByteArray>
#include <QList>

namespace veltra {

constexpr int MinBodyLines = 100;        // body panes always hold at least this many lines
constexpr int GreenBarLineWidth = 300;   // shaded lines are padded to this width
constexpr int MaxPaddedText = 60000;     // a padded page at least this long is shown unpadded
constexpr int MaxHeaderSearch = 200;

struct PresentationTexts {
    QByteArray bodyText;           // lines ending in CR LF, padded to 100 lines
    QByteArray headerText;         // lines ending in CR LF
    QList<QByteArray> HeaderLines; // the header text's lines
    QList<QByteArray> PageLines;   // every line of the page (header format "C" only)
    QList<QByteArray> bodyLines;   // the body text's lines (without line ends)
};

// headerFormat "C" leaves lines that are empty or only blanks out of the
// header; "U" keeps every line. greenBar pads lines for shading.
PresentationTexts BuildPresentationTexts(const QByteArray &displayText, bool greenBar, char headerFormat);

struct BodyStart {
    int BodyStartLine = 1;
    int LastHeaderLine = 0;
};

// headerTopLine and headerVisibleRows describe the right header pane; a row
// split of 1 pixel or less means no header row is shown.
BodyStart ComputeBodyStart(const PresentationTexts &texts, int headerTopLine, int headerVisibleRows,
                           int rowSplitPosition);

} // namespace veltra
