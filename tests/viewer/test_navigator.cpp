// Navigation over a report whose pages the "loader" finds while the user
// pages: the host below grows the page table a little each time events run.

#include "document/reportdocument.h"
#include "document/reportsource.h"
#include "platform/messagesink.h"
#include "viewer/navigator.h"

#include <gtest/gtest.h>

#include <vector>

using namespace veltra;

namespace {

QByteArray formFeedReport(int pages)
{
    QByteArray data;
    for (int i = 1; i <= pages; ++i)
        data += "\fPAGE " + QByteArray::number(i) + "\r\nLINE\r\n";
    return data;
}

struct FakeHost : NavigationHost {
    ReportDocument &doc;
    Navigator *nav = nullptr;
    ScriptedMessageSink sink;
    std::vector<PageEntry> all;      // the pages the scan will find
    int pagesPerEvent = 0;           // 0: the scan has ended
    std::vector<qint64> presented;
    QString pageBox = "0";
    bool typing = false;
    bool goToEnabled = false;
    bool statusVisible = true;
    bool clean = false;
    bool hour = false;
    PageCommandStates commands;
    QStringList ran;

    explicit FakeHost(ReportDocument &d) : doc(d) {}

    void scanTo(qint64 n)
    {
        while (doc.PageCount() < n && doc.PageCount() < qint64(all.size())) {
            const PageEntry &e = all[size_t(doc.PageCount())];
            doc.pages.addPage(e.start, e.length);
        }
        if (doc.PageCount() == qint64(all.size())) {
            doc.ScanRunning = false;
            pagesPerEvent = 0;
            if (nav)
                nav->setPageCountText(QString::number(doc.PageCount()));
        }
    }
    void processEvents() override
    {
        if (pagesPerEvent > 0)
            scanTo(doc.PageCount() + pagesPerEvent);
    }
    void sleepMs(int) override {}
    void setHourglass(bool on) override { hour = on; }
    bool hourglass() const override { return hour; }
    void presentPage(qint64 page, const QByteArray &) override { presented.push_back(page); }
    void setPageCommands(const PageCommandStates &s) override { commands = s; }
    void setGoToButtonEnabled(bool e) override { goToEnabled = e; }
    bool goToButtonEnabled() const override { return goToEnabled; }
    void focusGoToButton() override {}
    void setPageBox(const QString &t, bool ty) override { pageBox = t; typing = ty; }
    QString pageBoxText() const override { return pageBox; }
    void setPageBoxTyping(bool ty) override { typing = ty; }
    void setPageOfLabel(const QString &) override {}
    bool statusBarVisible() const override { return statusVisible; }
    void setStatusBarVisible(bool v) override { statusVisible = v; }
    void showWorkingWindow(bool) override {}
    void focusBodyPane() override {}
    bool cleanScreen() const override { return clean; }
    bool commandEnabled(const QString &name) const override
    {
        if (name == "PageUpMu")
            return commands.previous;
        if (name == "PageDownMu")
            return commands.next;
        return true;
    }
    void runCommand(const QString &name) override { ran << name; }
    void pageChanged(qint64) override {}
    MessageSink &messages() override { return sink; }
};

// A report of `total` pages of which `known` are found; the scan goes on
// while events run when `scanning`.
struct Fixture {
    ReportDocument doc;
    FakeHost host{doc};
    Navigator nav{doc, host, nullptr};

    Fixture(int total, int known, bool scanning)
    {
        host.nav = &nav;
        OpenMemoryReport(doc, "R.TXT", formFeedReport(total), {});
        ScanWholeReport(doc);
        for (qint64 n = 1; n <= doc.PageCount(); ++n)
            host.all.push_back(doc.pages.page(n));
        doc.pages.clear();
        doc.ScanRunning = scanning;
        host.scanTo(known);
        if (scanning)
            nav.setPageCountText("???");
        else
            nav.setPageCountText(QString::number(doc.PageCount()));
        nav.reportLoaded();
        nav.showPage(1);
        host.presented.clear();
    }
    void type(const QString &keys)
    {
        for (QChar c : keys)
            nav.FormKeyPress(c);
    }
};

} // namespace

TEST(Navigator, NextPageWhilePagesAreStillFound)
{
    // Pages 1-4 known, page 2 shown: page 3 at once.
    Fixture f(10, 4, true);
    f.nav.showPage(2);
    f.host.presented.clear();
    f.nav.PageDownMuClick();
    EXPECT_EQ(f.host.presented, std::vector<qint64>{3});
    EXPECT_EQ(f.doc.PageCount(), 4);

    // Only pages 1-4 known and page 4 wanted: shown once page 5 is found.
    f.host.presented.clear();
    f.host.pagesPerEvent = 1;
    f.nav.PageDownMuClick();
    EXPECT_EQ(f.host.presented, std::vector<qint64>{4});
    EXPECT_GE(f.doc.PageCount(), 5);
    EXPECT_EQ(f.nav.NavigationHold, 'G');
}

TEST(Navigator, NextPageAtTheEndOfAStoppedOrFinishedScan)
{
    Fixture f(3, 3, false);
    f.nav.showPage(3);
    f.host.presented.clear();
    f.nav.PageDownMuClick();
    EXPECT_TRUE(f.host.presented.empty());
    EXPECT_FALSE(f.host.commands.next);
    EXPECT_FALSE(f.host.commands.last);
    EXPECT_TRUE(f.host.commands.previous);

    // A load that stopped with the count unknown does not hang the command.
    Fixture g(5, 2, false);
    g.nav.setPageCountText("???");
    g.nav.showPage(2);
    g.host.presented.clear();
    g.nav.PageDownMuClick();
    EXPECT_TRUE(g.host.presented.empty());
}

TEST(Navigator, PreviousAndFirstPage)
{
    Fixture f(5, 5, false);
    f.nav.PageUpMuClick();  // on page 1: nothing
    EXPECT_TRUE(f.host.presented.empty());
    EXPECT_FALSE(f.host.commands.previous);
    EXPECT_TRUE(f.host.commands.next);
    f.nav.showPage(4);
    f.nav.PageUpMuClick();
    EXPECT_EQ(f.doc.CurrPage.load(), 3);
    f.type("t");
    EXPECT_EQ(f.doc.CurrPage.load(), 1);
    EXPECT_EQ(f.host.pageBox, "1");
    EXPECT_FALSE(f.host.typing);
}

TEST(Navigator, TypedPageNumbers)
{
    struct Case {
        const char *keys;
        qint64 page;
    } cases[] = {{"12", 12}, {"999", 40}, {"0", 1}, {"7", 7}};
    for (const Case &c : cases) {
        Fixture f(40, 40, false);
        f.type(c.keys);
        EXPECT_EQ(f.host.pageBox, c.keys);
        EXPECT_TRUE(f.host.typing);
        EXPECT_TRUE(f.host.goToEnabled);
        EXPECT_TRUE(f.nav.FormKeyDown(Qt::Key_Return, Qt::NoModifier));
        EXPECT_EQ(f.doc.CurrPage.load(), c.page) << c.keys;
        EXPECT_EQ(f.host.pageBox, QString::number(c.page));
        EXPECT_FALSE(f.host.typing);
        EXPECT_FALSE(f.host.goToEnabled);
    }
}

TEST(Navigator, EscapeBackspaceAndAnEmptyPageBox)
{
    Fixture f(40, 40, false);
    f.nav.showPage(5);
    f.type("12");
    f.nav.FormKeyDown(Qt::Key_Backspace, Qt::NoModifier);
    EXPECT_EQ(f.host.pageBox, "1");
    f.nav.FormKeyDown(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(f.host.pageBox, "5");
    EXPECT_FALSE(f.host.typing);
    EXPECT_FALSE(f.host.goToEnabled);

    // "&Go To" with nothing typed restores the current page.
    f.nav.GoToBtnEnter();
    f.nav.GoToBtnClick();
    EXPECT_EQ(f.host.pageBox, "5");
    EXPECT_EQ(f.doc.CurrPage.load(), 5);
}

TEST(Navigator, KeysThatDoNothing)
{
    Fixture f(10, 10, false);
    // Exactly Shift, Alt or Ctrl: no window-level meaning.
    for (Qt::KeyboardModifiers m : {Qt::ShiftModifier, Qt::AltModifier, Qt::ControlModifier})
        EXPECT_FALSE(f.nav.FormKeyDown(Qt::Key_F8, m));
    EXPECT_EQ(f.doc.CurrPage.load(), 1);
    // Navigation hold "S": keys and letters do nothing.
    f.nav.NavigationHold = 'S';
    EXPECT_FALSE(f.nav.FormKeyDown(Qt::Key_F8, Qt::NoModifier));
    EXPECT_FALSE(f.nav.FormKeyPress('e'));
    EXPECT_EQ(f.doc.CurrPage.load(), 1);
    f.nav.NavigationHold = 'G';
    // Clean Screen: digits ignored, letters still move.
    f.host.clean = true;
    f.type("7");
    EXPECT_EQ(f.host.pageBox, "1");
    f.type("L");
    EXPECT_EQ(f.doc.CurrPage.load(), 10);
    // F-keys run their commands when enabled.
    f.nav.FormKeyDown(Qt::Key_F2, Qt::NoModifier);
    f.nav.FormKeyDown(Qt::Key_F4, Qt::NoModifier);
    EXPECT_EQ(f.host.ran, (QStringList{"FindMu", "Openmu"}));
}

TEST(Navigator, LastPageWaitsForTheScan)
{
    Fixture f(50, 3, true);
    f.host.pagesPerEvent = 4;
    f.host.statusVisible = false;
    f.type("e");
    EXPECT_EQ(f.doc.CurrPage.load(), 50);
    EXPECT_EQ(f.host.presented, std::vector<qint64>{50});
    EXPECT_EQ(f.host.pageBox, "50");
    EXPECT_FALSE(f.host.statusVisible);  // shown for the wait only
    EXPECT_FALSE(f.host.commands.next);
    EXPECT_TRUE(f.host.commands.previous);
}

TEST(Navigator, GoToAPageNotYetScannedIsLeftToTheLoader)
{
    Fixture f(300, 120, true);
    f.nav.GoToPage(500);
    EXPECT_EQ(f.doc.PendingGoToPage.load(), 500);
    EXPECT_TRUE(f.host.presented.empty());
    EXPECT_EQ(f.nav.NavigationHold, 'S');
    EXPECT_FALSE(f.host.commands.next);
    // The scan ends with 300 pages; the loader asks for the last page.
    f.host.scanTo(300);
    f.doc.PendingGoToPage = 0;
    f.nav.GoToPage(f.doc.PageCount());
    EXPECT_EQ(f.doc.CurrPage.load(), 300);
    EXPECT_EQ(f.nav.NavigationHold, 'G');
}

TEST(Navigator, GoToPageDialogAsksAgainAfterBadAnswers)
{
    Fixture f(40, 40, false);
    f.host.sink.pushAnswer(true, "abc");
    f.host.sink.pushAnswer(true, "-3");
    f.host.sink.pushAnswer(true, "17");
    f.nav.GoToPageMUClick();
    const QStringList texts = f.host.sink.texts();
    ASSERT_EQ(texts.size(), 5);
    EXPECT_EQ(texts[0], "Current Page 1 of 40.    Enter New Page Number.");
    EXPECT_TRUE(texts[1].startsWith("Page Number not valid Integer value. \r\n"));
    EXPECT_TRUE(texts[3].startsWith("Page Number not valid Positive Integer value. \r\n"));
    EXPECT_EQ(f.doc.CurrPage.load(), 17);

    // Cancel ends the command.
    f.nav.GoToPageMUClick();
    EXPECT_EQ(f.doc.CurrPage.load(), 17);
}

TEST(Navigator, OnePageReportGreysEverything)
{
    Fixture f(1, 1, false);
    f.nav.updatePageCommands(1);
    EXPECT_FALSE(f.host.commands.previous || f.host.commands.next || f.host.commands.last
                 || f.host.commands.goTo);
    f.nav.PageDownMuClick();
    EXPECT_TRUE(f.host.presented.empty());
}

TEST(Navigator, ClosedReportIgnoresCommands)
{
    Fixture f(10, 10, false);
    f.nav.reportClosed();
    f.nav.PageDownMuClick();
    f.nav.CurrPageRzSPClick();
    f.type("5");
    f.nav.updatePageCommands(1);
    EXPECT_TRUE(f.host.presented.empty());
    EXPECT_FALSE(f.host.commands.next);
    EXPECT_EQ(f.nav.NavigationHold, 'S');
}
