#include "platform/windowplacement.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace veltra;

namespace {

// Points the user's native settings store at a scratch folder, so no test
// ever touches the real ~/.config.
class WindowPlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
    }
    QString storeFile() const { return scratch.filePath("Morvane/Veltra32.conf"); }
    QTemporaryDir scratch;
};

}  // namespace

TEST_F(WindowPlacementTest, NothingStoredReadsAsNone)
{
    EXPECT_FALSE(WindowPlacementStore().read().has_value());
}

TEST_F(WindowPlacementTest, WrittenPlacementReadsBackAsDecimalText)
{
    const WindowPlacement placement{-8, 12, 1024, 700};
    ASSERT_TRUE(WindowPlacementStore().write(placement));
    EXPECT_EQ(WindowPlacementStore().read(), placement);
    QSettings raw(storeFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("FLeft").toString(), "-8");
    EXPECT_EQ(raw.value("FHeight").toString(), "700");
}

TEST_F(WindowPlacementTest, MissingOrBadValuesReadAsTheirDefaults)
{
    QDir().mkpath(scratch.filePath("Morvane"));
    QFile f(storeFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[General]\nFTop=40\nFWidth=wide\n");
    f.close();
    const auto placement = WindowPlacementStore().read();
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(*placement, (WindowPlacement{0, 40, 800, 600}));
}

TEST_F(WindowPlacementTest, AStoreThatCannotBeWrittenSaysSo)
{
    QFile blocker(scratch.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    WindowPlacementStore store(scratch.filePath("blocker/placement.ini"));
    EXPECT_FALSE(store.write(WindowPlacement{1, 2, 3, 4}));
    EXPECT_FALSE(store.read().has_value());
}
