#pragma once
// Moving between the pages of the open report while the loader may still be
// scanning it: the page commands, the page box with its typing rules, the
// window-level keys and the navigation hold that keeps page changes from
// overlapping.

#include "viewer/navigationrules.h"

#include <QByteArray>
#include <QString>

#include <Qt>

namespace veltra {

class Loader;
class MessageSink;
class ReportDocument;

// What navigation needs from the window.
class NavigationHost {
public:
    virtual ~NavigationHost() = default;
    virtual void processEvents() = 0;
    virtual void sleepMs(int ms) = 0;
    virtual void setHourglass(bool on) = 0;
    virtual bool hourglass() const = 0;
    virtual void presentPage(qint64 page, const QByteArray &displayText) = 0;
    // The previous/first, next, last and go-to items with all their twins.
    virtual void setPageCommands(const PageCommandStates &states) = 0;
    virtual void setGoToButtonEnabled(bool enabled) = 0;
    virtual bool goToButtonEnabled() const = 0;
    virtual void focusGoToButton() = 0;
    // typing: the text the user is typing (blue, bold); else black, regular.
    virtual void setPageBox(const QString &text, bool typing) = 0;
    virtual QString pageBoxText() const = 0;
    virtual void setPageBoxTyping(bool typing) = 0;
    virtual void setPageOfLabel(const QString &text) = 0;
    virtual bool statusBarVisible() const = 0;
    virtual void setStatusBarVisible(bool visible) = 0;
    virtual void showWorkingWindow(bool show) = 0;
    virtual void focusBodyPane() = 0;
    virtual bool cleanScreen() const = 0;
    // Window commands reached by function keys, by their action names.
    virtual bool commandEnabled(const QString &actionName) const = 0;
    virtual void runCommand(const QString &actionName) = 0;
    virtual void pageChanged(qint64 page) = 0;   // the Save to File range check
    virtual MessageSink &messages() = 0;
};

class Navigator {
public:
    Navigator(ReportDocument &doc, NavigationHost &host, Loader *loader);

    // "S": page commands and keys do nothing; "G": free.
    char NavigationHold = 'S';

    // The page count as shown; the loader's steps set it on this thread.
    QString pageCountText() const { return countText_; }
    void setPageCountText(const QString &text) { countText_ = text; }

    void PageUpMuClick();
    void PageDownMuClick();
    void FirstPageMUClick();
    void LastPageMUClick(QChar letter = QLatin1Char('B'));
    void GoToPageMUClick();
    void GoToBtnClick();
    void GoToBtnEnter();
    void CurrPageRzSPClick();
    void GoToPage(qint64 page);

    // Window-level keys; true when the key was used here.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    bool FormKeyPress(QChar c);

    void updatePageCommands(qint64 page);
    // Reads page n (bracketed by navigation start and end) and presents it.
    void showPage(qint64 page);
    QByteArray readPage(qint64 page);

    void navigationStart();
    void navigationEnd();

    // The open report was closed / its first page was shown.
    void reportClosed();
    void reportLoaded();

private:
    bool loaderActive() const;
    bool blocked() const;
    void holdLoader();
    void releaseLoader();
    // Lets events run until the page count is known or more than `pages`
    // pages are known; false when the report went away meanwhile.
    bool waitForPages(qint64 pages, bool sleep);

    ReportDocument &doc_;
    NavigationHost &host_;
    Loader *loader_;
    QString countText_ = QStringLiteral("???");
    bool reportOpen_ = false;
    bool changing_ = false;      // a page change (and its presentation) is under way
    bool goToArmed_ = false;     // digits typed since the page box was last reset
    int held_ = 0;
    quint64 generation_ = 0;     // bumped whenever the report is closed
};

} // namespace veltra
