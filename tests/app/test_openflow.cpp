#include "app/openflow.h"

#include <gtest/gtest.h>

using namespace veltra;

TEST(OpenFlow, AddToFileFilter)
{
    struct Case {
        const char *filter, *path;
        std::optional<QString> result;
    } cases[] = {
        {"Reports|*.RPT", "/r/daily.txt", QString("*.TXT|*.txt|Reports|*.RPT")},
        {"Reports|*.rpt", "/r/DAILY.RPT", std::nullopt},  // compared upper-cased
        {"Reports|*.RPT", "/r/noext", std::nullopt},
        {"", "/r/a.lst", QString("*.LST|*.lst|")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AddToFileFilter(c.filter, c.path), c.result) << c.path;
}

TEST(OpenFlow, DialogFilters)
{
    EXPECT_EQ(DialogFiltersFromFileFilter("Reports|*.RPT;*.txt|All Files|*.*"),
              (QStringList{"Reports (*.RPT *.rpt *.txt *.TXT)", "All Files (*)"}));
    EXPECT_EQ(DialogFiltersFromFileFilter("*.LST|*.lst|Odd"), (QStringList{"*.LST (*.lst *.LST)"}));
    EXPECT_EQ(DialogFiltersFromFileFilter(""), (QStringList{"All files (*)"}));
}
