#include "viewer/navigationrules.h"

#include <gtest/gtest.h>

using namespace veltra;

struct RuleCase {
    const char *name;
    qint64 page, count;
    const char *countText;
    bool previous, next, last, goTo;
};

class PageCommands : public ::testing::TestWithParam<RuleCase> {};

TEST_P(PageCommands, GreyingRule)
{
    const RuleCase &c = GetParam();
    const PageCommandStates s = PageCommandsFor(c.page, c.count, c.countText);
    EXPECT_EQ(s.previous, c.previous);
    EXPECT_EQ(s.next, c.next);
    EXPECT_EQ(s.last, c.last);
    EXPECT_EQ(s.goTo, c.goTo);
}

INSTANTIATE_TEST_SUITE_P(Cases, PageCommands, ::testing::Values(
    RuleCase{"OnePageReport", 1, 1, "1", false, false, false, false},
    RuleCase{"FirstOfMany", 1, 40, "40", false, true, true, true},
    RuleCase{"Middle", 7, 40, "40", true, true, true, true},
    RuleCase{"LastKnown", 40, 40, "40", true, false, false, true},
    RuleCase{"LastFoundSoFarWhileScanning", 40, 40, "???", true, true, true, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(GoTo, AnswersAndMessages)
{
    EXPECT_EQ(CheckGoToAnswer("12").page.value(), 12);
    const GoToAnswer abc = CheckGoToAnswer("abc");
    EXPECT_FALSE(abc.page);
    EXPECT_EQ(abc.error, "Page Number not valid Integer value. \r\n" + QString(28, ' ') + "abc\r\nPlease enter a valid Page Number.");
    const GoToAnswer neg = CheckGoToAnswer("-3");
    EXPECT_FALSE(neg.page);
    EXPECT_TRUE(neg.error.startsWith("Page Number not valid Positive Integer value. \r\n" + QString(35, ' ') + "-3"));
    EXPECT_EQ(GoToPrompt("7", "???"), "Current Page 7 of ???.    Enter New Page Number.");
    EXPECT_EQ(ClampGoToPage(999, 40), 40);
    EXPECT_EQ(ClampGoToPage(0, 40), 1);
    EXPECT_EQ(ClampGoToPage(12, 40), 12);
}
