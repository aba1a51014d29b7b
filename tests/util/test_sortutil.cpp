#include "util/sortutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace veltra;

namespace {

TEST(CombSort, AgreesWithStdSortOnRandomArrays)
{
    std::mt19937 rng(12345);
    for (int size : {0, 1, 2, 3, 4, 5, 7, 10, 11, 100, 1000, 4097}) {
        for (quint32 range : {2u, 1000u, 0xffffffffu}) {
            std::uniform_int_distribution<quint32> pick(0, range);
            std::vector<quint32> values(size);
            std::generate(values.begin(), values.end(), [&] { return pick(rng); });
            std::vector<quint32> expected = values;
            std::sort(expected.begin(), expected.end());
            combSort(values.data(), size);
            EXPECT_EQ(values, expected) << "size " << size << " range " << range;
        }
    }
}

TEST(CombSort, SortsOnlyTheFirstCountEntries)
{
    std::vector<quint32> values = {9, 3, 7, 1, 0, 5};
    combSort(values.data(), 4);
    EXPECT_EQ(values, (std::vector<quint32>{1, 3, 7, 9, 0, 5}));
    std::vector<quint32> reversed(300);
    for (size_t i = 0; i < reversed.size(); ++i)
        reversed[i] = static_cast<quint32>(reversed.size() - i);
    combSort(reversed.data(), static_cast<qsizetype>(reversed.size()));
    EXPECT_TRUE(std::is_sorted(reversed.begin(), reversed.end()));
    combSort(nullptr, 5);  // no array: nothing to do
}

TEST(LargerOf, PicksTheLargerValue)
{
    static_assert(largerOf(3, 7) == 7);
    static_assert(largerOf(-3, -7) == -3);
    EXPECT_EQ(largerOf(5, 5), 5);
    EXPECT_EQ(largerOf(Q_INT64_C(5000000000), 1), Q_INT64_C(5000000000));
}

}  // namespace
