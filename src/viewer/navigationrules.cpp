#include "viewer/navigationrules.h"

namespace veltra {

PageCommandStates PageCommandsFor(qint64 p, qint64 pageCount, const QString &countText)
{
    PageCommandStates s;
    if (countText == QLatin1String("1"))
        return s;
    const bool known = countText != QLatin1String("???");
    s.goTo = true;
    if (p <= 1) {
        s.next = s.last = true;
        return s;
    }
    s.previous = true;
    s.next = s.last = !(known && p >= pageCount);
    return s;
}

GoToAnswer CheckGoToAnswer(const QString &answer)
{
    GoToAnswer r;
    bool ok = false;
    const qint64 v = answer.trimmed().toLongLong(&ok, 10);
    if (!ok) {
        r.error = QStringLiteral("Page Number not valid Integer value. \r\n") + QString(28, ' ') + answer
            + QStringLiteral("\r\nPlease enter a valid Page Number.");
        return r;
    }
    if (v <= 0) {
        r.error = QStringLiteral("Page Number not valid Positive Integer value. \r\n") + QString(35, ' ') + answer
            + QStringLiteral("\r\nPlease enter a valid Page Number.");
        return r;
    }
    r.page = v;
    return r;
}

QString GoToPrompt(const QString &pageBoxText, const QString &pageCountText)
{
    return QStringLiteral("Current Page ") + pageBoxText + QStringLiteral(" of ") + pageCountText
        + QStringLiteral(".    Enter New Page Number.");
}

qint64 ClampGoToPage(qint64 wanted, qint64 pageCount)
{
    if (wanted > pageCount)
        wanted = pageCount;
    return wanted <= 0 ? 1 : wanted;
}

} // namespace veltra
