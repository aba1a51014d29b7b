#pragma once
// The rules of page navigation that need no window: which page commands a
// page allows, and what a typed page number means.

#include <QString>

#include <optional>

namespace veltra {

struct PageCommandStates {
    bool previous = false;  // previous and first page
    bool next = false;
    bool last = false;
    bool goTo = false;
};

// Greying rule for page p with the count known (countText a number) or not
// ("???").
PageCommandStates PageCommandsFor(qint64 p, qint64 pageCount, const QString &countText);

// The answer of the Go To Page box: the page, or the message to show before
// asking again.
struct GoToAnswer {
    std::optional<qint64> page;
    QString error;
};
GoToAnswer CheckGoToAnswer(const QString &answer);

// The prompt of the Go To Page box.
QString GoToPrompt(const QString &pageBoxText, const QString &pageCountText);

// Where a go-to request lands once the page count is known: the page count
// when beyond it, page 1 when 0 or less.
qint64 ClampGoToPage(qint64 wanted, qint64 pageCount);

} // namespace veltra
