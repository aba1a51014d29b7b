#include "platform/messagesink.h"

#include <gtest/gtest.h>

using namespace veltra;

TEST(ScriptedMessageSink, RecordsTextsAndAnswersFromScript)
{
    ScriptedMessageSink sink;
    sink.errorAbort("File not found");
    EXPECT_TRUE(sink.confirm("Close", "Sure?"));        // empty script: Yes
    EXPECT_FALSE(sink.input("Caption", "Prompt", "C"));  // empty script: cancelled

    sink.pushAnswer(false);
    EXPECT_FALSE(sink.confirm("Close", "Sure?"));
    sink.pushAnswer(true, "E");
    EXPECT_EQ(sink.input("Local Drive Letter", "Prompt", "C").value(), "E");

    ASSERT_EQ(sink.count(), 5);
    EXPECT_EQ(sink.messages()[0].kind, MessageKind::ErrorAbort);
    EXPECT_EQ(sink.texts()[0], "File not found");
    EXPECT_EQ(sink.messages()[4].proposed, "C");
}
